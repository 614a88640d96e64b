#include "desktop/ui/print/CalcPrintSpooler.h"

#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinter>

#include <cups/cups.h>

#include <vector>

namespace {

// The print engine's list of options chosen in the printer properties, as
// key and value one after the other.
const auto ChosenOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

}  // namespace

CalcJobOptions JobOptionsOf(const QPrinter& printer)
{
    CalcJobOptions options;
    const auto add = [&options](const QByteArray& name, const QByteArray& value) { options.append({name, value}); };
    const QPageLayout layout = printer.pageLayout();
    add("media", layout.pageSize().key().toUtf8());
    const int copies = printer.copyCount();
    if (copies > 1) {
        add("copies", QByteArray::number(copies));
        if (printer.collateCopies())
            add("Collate", "True");
    }
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        add("sides", "one-sided");
        break;
    case QPrinter::DuplexAuto:
        add("sides", layout.orientation() == QPageLayout::Portrait ? "two-sided-long-edge" : "two-sided-short-edge");
        break;
    case QPrinter::DuplexLongSide:
        add("sides", "two-sided-long-edge");
        break;
    case QPrinter::DuplexShortSide:
        add("sides", "two-sided-short-edge");
        break;
    }
    if (layout.orientation() == QPageLayout::Landscape)
        add("landscape", "");
    if (QPrintEngine* engine = printer.printEngine()) {
        const QStringList chosen = engine->property(ChosenOptionsKey).toStringList();
        for (qsizetype i = 0; i + 1 < chosen.size(); i += 2)
            add(chosen[i].toUtf8(), chosen[i + 1].toUtf8());
    }
    return options;
}

CalcSpoolResult SubmitJob(const QString& queue, const QString& path, const QString& title,
                          const CalcJobOptions& options)
{
    std::vector<cups_option_t> list;
    list.reserve(static_cast<std::size_t>(options.size()));
    for (const auto& [name, value] : options)
        list.push_back(cups_option_t{const_cast<char*>(name.constData()), const_cast<char*>(value.constData())});
    // A queue name may carry an instance ("queue/instance"); the job goes to
    // the queue.
    const QByteArray destination = queue.section(u'/', 0, 0).toUtf8();
    const QByteArray file = path.toLocal8Bit();
    const QByteArray name = title.toUtf8();
    CalcSpoolResult result;
    result.Job = cupsPrintFile2(CUPS_HTTP_DEFAULT, destination.constData(), file.constData(), name.constData(),
                                static_cast<int>(list.size()), list.empty() ? nullptr : list.data());
    if (result.Job == 0)
        result.Error = QString::fromUtf8(cupsLastErrorString());
    return result;
}
