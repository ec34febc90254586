// The time to judge one keystroke through FromKeyPress on the real main window, the text
// panels and the key hint included, over whole ordered runs of levels 1, 5 and 9. Each key
// is timed twice: the judge alone, and the judge followed by the repaint it caused.
#include "app/fonts.h"
#include "app/form1.h"
#include "fakeplatform.h"
#include "core/romaji.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The next correct key of the running drill, read from the window's own state.
char nextKey(const TForm1 &form)
{
    QString letter;
    if (form.currentLevel <= 4)
        letter = form.TextPanel->text();
    else if (form.currentLevel <= 6)
        letter = form.romaji.romaji(form.itemIndex).mid(form.letterPos - 1, 1);
    else
        letter = form.syllableRomaji[form.syllableNo].mid(form.letterPos - 1, 1);
    return char(letter.toLower().at(0).toLatin1());
}

struct Result {
    int keys = 0;
    double judgeMedian = 0, paintedMedian = 0, paintedMax = 0;
    double lastKeyMedian = 0; // the key that ends a run: result dialog and layout included
};

Result measure(TForm1 &form, int level, int runs)
{
    std::vector<double> judge, painted, lastKey;
    form.levelItem(level)->trigger();
    for (int run = 0; run < runs; ++run) {
        form.Button1Click();
        QApplication::processEvents();
        while (form.Button1->text() == QStringLiteral("ストップ")) {
            char key = nextKey(form);
            const auto t0 = Clock::now();
            form.FromKeyPress(&form, key);
            const auto t1 = Clock::now();
            QApplication::processEvents(); // paints what the key changed
            const auto t2 = Clock::now();
            judge.push_back(microseconds(t1 - t0));
            painted.push_back(microseconds(t2 - t0));
        }
        lastKey.push_back(painted.back());
    }
    Result result;
    result.keys = int(judge.size());
    result.judgeMedian = median(judge);
    result.paintedMedian = median(painted);
    result.paintedMax = *std::max_element(painted.begin(), painted.end());
    result.lastKeyMedian = median(lastKey);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerFontSubstitutions();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    FakePlatform platform;
    TForm1 form(platform);
    form.show();
    QApplication::processEvents();

    const int runs = 20;
    std::printf("Keystroke judged through FromKeyPress, %d ordered runs per level (microseconds)\n",
                runs);
    std::printf("%-6s %6s %13s %19s %16s %15s\n", "level", "keys", "judge median",
                "judge+paint median", "judge+paint max", "run-ending key");
    for (int level : {1, 5, 9}) {
        const Result r = measure(form, level, runs);
        std::printf("%-6d %6d %13.1f %19.1f %16.1f %15.1f\n", level, r.keys, r.judgeMedian,
                    r.paintedMedian, r.paintedMax, r.lastKeyMedian);
    }
    std::printf("(run-ending key: median of the last key of each run, result dialog and layout "
                "included)\n");
    return 0;
}
