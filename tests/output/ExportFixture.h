#pragma once

// Live charts driven as the window's tick drives them, and a canvas that
// records what DrawExport asks of it.
#include "charts/LiveCharts.h"
#include "output/DrawExport.h"
#include "output/ExportCanvas.h"
#include "output/ExportInputs.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

namespace kavlon::test {

// A loop with live charts of the given image size, reset and ready to tick.
struct LiveLoop {
    LoopState s;
    LiveCharts charts;

    LiveLoop(int width, int height, std::uint32_t back = 0xFFFFFF, int plant = 0, int n = 600)
    {
        s.PlantIndex = static_cast<std::uint8_t>(plant);
        charts.SetBackColor(back);
        charts.SetImageSize(width, height);
        charts.SetTimeAxisLength(n);
        Reset();
    }

    void Reset()
    {
        ResetLoopState(s, s.ARWUOn, s.TotKOn || s.StrKOn, s.HandMode);
        charts.ResetCharts(s);
    }

    // The window's tick, `ticks` times.
    void Tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i)
            ChartTick(s, charts);
    }

    ExportInputs Inputs(bool printInColor = true) const
    {
        return ExportInputsFromState(s, charts, printInColor);
    }
};

struct TextCall {
    int x;
    int y;
    QString text;
};

struct StretchCall {
    QRect target;
    QImage source;
};

class RecordingCanvas final : public ExportCanvas {
public:
    void SetFont(int pointSize, bool bold) override
    {
        fontCalls.push_back({pointSize, bold});
        if (!texts.empty() || !stretches.empty())
            fontSetLate = true;
    }
    void TextOut(int x, int y, const QString &text) override { texts.push_back({x, y, text}); }
    void StretchDraw(const QRect &target, const QImage &source) override
    {
        stretches.push_back({target, source});
    }

    // The text call whose text starts with `prefix`, or null.
    const TextCall *Find(const QString &prefix) const
    {
        for (const TextCall &t : texts)
            if (t.text.startsWith(prefix))
                return &t;
        return nullptr;
    }

    std::vector<std::pair<int, bool>> fontCalls;
    bool fontSetLate = false;
    std::vector<TextCall> texts;
    std::vector<StretchCall> stretches;
};

} // namespace kavlon::test
