// The help window: the program's help pages (HTML in the resources, under
// ":/help") in a browser of their own, with back and forward, the contents,
// and a find field that searches the page shown and then the other pages in
// the order of the contents.
#pragma once

#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <cstdint>

class QAction;
class QLabel;
class QLineEdit;
class QTextBrowser;

class CCalcHelpWindow final : public QWidget {
    Q_OBJECT

public:
    explicit CCalcHelpWindow(QWidget* parent = nullptr);
    ~CCalcHelpWindow() override;

    // The page of topic ("language", "messages#report-4"); the contents for a
    // topic that names no page.
    void showTopic(const QString& topic);
    // The topic of a context number (a keypad button's id + 0x80660000); the
    // contents for a number that names none.
    void showContext(std::uint32_t contextNumber);

    // The topic of a context number: a keypad button's, or the contents.
    static QString ContextTopic(std::uint32_t contextNumber);
    // The address of a topic's page, or an empty address when there is none.
    static QUrl TopicUrl(const QString& topic);
    // Every page, in the order the contents lists them, the contents first.
    static QStringList PageOrder();

    // Looks for text from the caret on (backwards: before it), then through
    // the other pages; false when no page holds it.
    bool find(const QString& text, bool backwards = false);

    QTextBrowser* browser() const { return browser_; }
    QLineEdit* findField() const { return findField_; }

private:
    void showUrl(const QUrl& url);
    void updateTitle();
    void findFromField(bool backwards);
    void loadSettings();
    void saveSettings() const;

    QTextBrowser* browser_ = nullptr;
    QLineEdit* findField_ = nullptr;
    QLabel* findStatus_ = nullptr;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
};
