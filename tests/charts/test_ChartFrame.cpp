#include "ChartFrame.h"
#include "LiveCharts.h"

#include <gtest/gtest.h>

using namespace kavlon;

namespace {

LiveCharts MakeCharts(int w, int h, int n, std::uint32_t back = White)
{
    LiveCharts charts;
    charts.SetImageSize(w, h);
    charts.SetTimeAxisLength(n);
    charts.SetBackColor(back);
    charts.ResetCharts(LoopState{});
    return charts;
}

} // namespace

TEST(ChartFrame, GeometryOfA765x180Image)
{
    const LiveCharts charts = MakeCharts(765, 180, 600);
    EXPECT_EQ(charts.PlotLeft(), 42);
    EXPECT_EQ(charts.PlotRight(), 727);
    EXPECT_EQ(charts.PlotTop(), 12);
    EXPECT_EQ(charts.PlotBottom(), 172);
    EXPECT_EQ(charts.PlotHeight(), 160);
    EXPECT_EQ(charts.ZeroLineY(ControllerChart), 108);
    EXPECT_EQ(charts.ZeroLineY(PlantChart), 140);
}
