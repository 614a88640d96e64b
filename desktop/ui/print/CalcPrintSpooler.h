// Handing a finished job to the print system. Qt's own hand-over drops the
// print system's answer, so a queue that refuses the job would look like a
// job printed; the job is therefore written to a file and handed over here,
// where a refusal is seen and reported.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QPrinter;

using CalcJobOptions = QList<QPair<QByteArray, QByteArray>>;

// The job options of printer as the print system takes them: paper, copies,
// collation, sides, orientation, and the options chosen in the print
// dialog's printer properties.
CalcJobOptions JobOptionsOf(const QPrinter& printer);

struct CalcSpoolResult {
    int Job = 0;    // the print system's job id; 0 when refused
    QString Error;  // the print system's reason when refused
};

// Prints the PDF file at path on queue under title.
CalcSpoolResult SubmitJob(const QString& queue, const QString& path, const QString& title,
                          const CalcJobOptions& options);
