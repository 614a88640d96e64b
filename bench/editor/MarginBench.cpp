// How soon the results margin follows an edit: an editor with its margin
// holds a generated worksheet of N statements (one per line, with memory
// cells and the last result flowing from statement to statement); a digit is
// typed and deleted again, at the top and in the middle of the text, and each
// time the clock runs from the edit until every statement's value in the
// margin is that of the new text, and until the values on the screen are
// (the margin shows those as soon as they are worked out). Two worksheets: in the first, every fifth
// statement sets the cells and the last result afresh, so an edit changes
// the values of a few statements only; in the second, every fifth statement
// also adds into a running total, so an edit changes every value below it.
// Run it through scripts/margin-speed.sh.
//
//   tevra_margin_bench STATEMENTS [EDITS]
#include "desktop/ui/editor/CCalcResultsMargin.h"
#include "desktop/ui/editor/CCalcView.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr const char* Pieces[] = {
    "12.5*%1+7/2->mem[a]", "mem[a]/%1+rslt", "%1^2-mem[a]/1e3", "sqrt(%1)*2->mem[b]", "mem[b]+mem[a]-%1",
};
static_assert(std::size(Pieces) == 5, "the edit in the middle looks for a multiple of five");
constexpr const char* TotalPiece = "mem[t]+mem[b]+mem[a]-%1->mem[t]";

QString Worksheet(int statements, bool total)
{
    QString text;
    for (int i = 0; i < statements; ++i) {
        if (i > 0)
            text += QStringLiteral(";\n");
        const std::size_t piece = static_cast<std::size_t>(i) % std::size(Pieces);
        const char* shape = total && piece + 1 == std::size(Pieces) ? TotalPiece : Pieces[piece];
        text += QString::fromLatin1(shape).arg(i % 997 + 1);
    }
    return text;
}

double Milliseconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void WaitUntilUpToDate(const CCalcResultsMargin& margin)
{
    while (!margin.isUpToDate())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

struct EditTimes {
    std::vector<double> Screen;  // until the values on the screen are the new ones
    std::vector<double> All;     // until every value is
};

// Types a digit at position and deletes it again, edits times, timing each
// edit until the margin's entries on the screen change (the edited statement
// is among them) and until the whole margin is up to date.
EditTimes Edits(CCalcView& view, CCalcResultsMargin& margin, int position, int edits)
{
    EditTimes times;
    QElapsedTimer timer;
    double screen = -1;
    const QMetaObject::Connection shown = QObject::connect(&margin, &CCalcResultsMargin::itemsChanged, [&] {
        if (screen < 0)
            screen = Milliseconds(timer);
    });
    // A digit typed and deleted there first, untimed: the view's first edit
    // at a place (scrolling there, the first undo step) is not the margin's.
    for (const QString& typed : {QStringLiteral("5"), QString()}) {
        view.setSelection(position, typed.isEmpty() ? position + 1 : position);
        view.replaceSelection(typed);
        WaitUntilUpToDate(margin);
    }
    for (int i = 0; i < edits; ++i) {
        const bool type = i % 2 == 0;
        view.setSelection(position, type ? position : position + 1);
        screen = -1;
        timer.start();
        view.replaceSelection(type ? QStringLiteral("5") : QString());
        WaitUntilUpToDate(margin);
        times.All.push_back(Milliseconds(timer));
        times.Screen.push_back(screen < 0 ? times.All.back() : screen);
    }
    QObject::disconnect(shown);
    return times;
}

void Print(const char* what, const std::vector<double>& times)
{
    std::printf("  %-34s %8.1f ms median, %.1f ms worst of %zu\n", what, Median(times),
                *std::max_element(times.begin(), times.end()), times.size());
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const int statements = arguments.size() >= 2 ? arguments[1].toInt() : 0;
    const int edits = arguments.size() >= 3 ? arguments[2].toInt() : 9;
    if (statements <= 0 || edits <= 0) {
        std::fprintf(stderr, "usage: tevra_margin_bench STATEMENTS [EDITS]\n");
        return 2;
    }
    for (const bool total : {false, true}) {
        CCalcView view;
        view.resize(900, 700);
        auto* margin = new CCalcResultsMargin(&view);
        margin->setEnabled(true);
        view.show();

        QElapsedTimer timer;
        timer.start();
        view.loadText(Worksheet(statements, total));
        WaitUntilUpToDate(*margin);
        const double whole = Milliseconds(timer);

        const QString text = view.text();
        // The first number of the statement in the middle that sets mem[a],
        // and of the first one (which does too).
        int middle = 0;
        for (int line = 0; line < statements / 2 / 5 * 5; ++line)
            middle = static_cast<int>(text.indexOf(QLatin1Char('\n'), middle)) + 1;
        const EditTimes atMiddle = Edits(view, *margin, middle, edits);
        const EditTimes atTop = Edits(view, *margin, 0, edits);

        std::printf("%d statements, %lld characters, %s\n", statements, static_cast<long long>(text.size()),
                    total ? "every edit flows down through a running total" : "every edit's effect dies out");
        std::printf("  %-34s %8.1f ms\n", "whole margin after opening", whole);
        Print("edit in the middle to margin", atMiddle.All);
        Print("edit at the top to margin", atTop.All);
        Print("edit in the middle to the screen", atMiddle.Screen);
        Print("edit at the top to the screen", atTop.Screen);
        std::fflush(stdout);
    }
    return 0;
}
