// The About box: the program's icon, name and version, and an OK button.
#pragma once

#include <QDialog>

class CCalcAboutBox final : public QDialog {
    Q_OBJECT

public:
    explicit CCalcAboutBox(QWidget* parent = nullptr);

    static QString versionText();
};
