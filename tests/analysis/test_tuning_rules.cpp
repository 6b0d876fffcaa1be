#include "analysis/TuningCsv.h"
#include "analysis/TuningRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace kavlon;

// The published factors, written out once more from the rule tables:
// Kr = a * Tg / (Ks * Tu), Tn = b * (Tu or Tg), Tv = c * Tu.
TEST(TuningRules, PublishedFactors)
{
    struct Row {
        RuleFamily family;
        ControllerKind kind;
        double kr, tnTu, tnTg, tvTu;
    };
    using F = RuleFamily;
    using K = ControllerKind;
    const Row published[] = {
        {F::ZieglerNichols, K::P, 1.0, 0, 0, 0},
        {F::ZieglerNichols, K::PI, 0.9, 3.33, 0, 0},
        {F::ZieglerNichols, K::PID, 1.2, 2.0, 0, 0.5},
        {F::ChrSetPointAperiodic, K::P, 0.3, 0, 0, 0},
        {F::ChrSetPointAperiodic, K::PI, 0.35, 0, 1.2, 0},
        {F::ChrSetPointAperiodic, K::PID, 0.6, 0, 1.0, 0.5},
        {F::ChrSetPoint20, K::P, 0.7, 0, 0, 0},
        {F::ChrSetPoint20, K::PI, 0.6, 0, 1.0, 0},
        {F::ChrSetPoint20, K::PID, 0.95, 0, 1.35, 0.47},
        {F::ChrDisturbanceAperiodic, K::P, 0.3, 0, 0, 0},
        {F::ChrDisturbanceAperiodic, K::PI, 0.6, 4.0, 0, 0},
        {F::ChrDisturbanceAperiodic, K::PID, 0.95, 2.4, 0, 0.42},
        {F::ChrDisturbance20, K::P, 0.7, 0, 0, 0},
        {F::ChrDisturbance20, K::PI, 0.7, 2.3, 0, 0},
        {F::ChrDisturbance20, K::PID, 1.2, 2.0, 0, 0.42},
    };
    const Real ks = 1.25L, tu = 8, tg = 50; // Tg / (Ks Tu) = 5
    const std::vector<TuningSuggestion> rows = SuggestTuning(ks, tu, tg);
    ASSERT_EQ(rows.size(), std::size(published));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row &p = published[i];
        const TuningSuggestion &s = rows[i];
        SCOPED_TRACE(std::string(RuleFamilyKey(p.family)) + " "
                     + std::string(ControllerKindName(p.kind)));
        EXPECT_EQ(s.rule.family, p.family);
        EXPECT_EQ(s.rule.kind, p.kind);
        EXPECT_NEAR(static_cast<double>(s.kr), p.kr * 5, 1e-12);
        EXPECT_NEAR(static_cast<double>(s.tn), p.tnTu * 8 + p.tnTg * 50, 1e-12);
        EXPECT_NEAR(static_cast<double>(s.tv), p.tvTu * 8, 1e-12);
        // The parts each controller kind has.
        EXPECT_EQ(s.tnSet > 0, p.kind != K::P);
        EXPECT_EQ(s.tvSet > 0, p.kind == K::PID);
    }
}

TEST(TuningRules, ValuesAsTheOperatorSetsThem)
{
    struct Case {
        Real value;
        SpinValue which;
        bool on;
        Real expected;
    };
    for (const Case c : {
             Case{3.14159L, SpinValue::Kr, true, 3.1L},
             Case{2.25L, SpinValue::Kr, true, 2.2L}, // ties go to the even tenth
             Case{0.04L, SpinValue::Kr, true, 0.1L}, // never rounds the part off
             Case{250, SpinValue::Kr, true, 100},
             Case{26.64L, SpinValue::Tn, true, 27},
             Case{0.4L, SpinValue::Tn, true, 1},
             Case{480, SpinValue::Tn, true, 200},
             Case{0, SpinValue::Tn, false, 0},
             Case{3.36L, SpinValue::Tv, true, 3.4L},
             Case{0.01L, SpinValue::Tv, true, 0.1L},
         }) {
        EXPECT_EQ(OnSpinGrid(c.value, c.which, c.on), c.expected) << static_cast<double>(c.value);
    }
    // A grid value reads back exactly as the spin arrows would step to it.
    EXPECT_EQ(OnSpinGrid(0.3L, SpinValue::Kr, true), 3.0L / 10);
}

TEST(TuningRules, NoRowsWithoutPositiveFigures)
{
    EXPECT_TRUE(SuggestTuning(0, 5, 20).empty());
    EXPECT_TRUE(SuggestTuning(1, -0.5L, 20).empty());
    EXPECT_TRUE(SuggestTuning(1, 5, 0).empty());
    EXPECT_TRUE(SuggestTuning(1, 5, 1.0L / 0.0L).empty());
    EXPECT_EQ(SuggestTuning(1, 5, 20).size(), TuningRules.size());
}

TEST(TuningRules, IdentificationCsv)
{
    const std::vector<Real> x{10, 10, 12, 16, 20, 22, 23};
    const std::string csv = IdentificationCsv(IdentifyStep(100, 0, 10, x, true));
    EXPECT_EQ(csv.substr(0, csv.find("\n\n") + 2), "quantity,value\n"
                                                   "t0,100\n"
                                                   "y0,0\n"
                                                   "y1,10\n"
                                                   "x0,10\n"
                                                   "x_end,23\n"
                                                   "seconds,6\n"
                                                   "settled,1\n"
                                                   "inflection,103\n"
                                                   "slope,4\n"
                                                   "ta,101.5\n"
                                                   "tb,104.75\n"
                                                   "tu,1.5\n"
                                                   "tg,3.25\n"
                                                   "ks,0.1625\n"
                                                   "\n");
    // Tg / (Ks Tu) = 3.25 / (0.1625 * 1.5) = 13.33...: ZN P gives Kr 13.3.
    EXPECT_NE(csv.find("rule,controller,kr,tn,tv,kr_set,tn_set,tv_set\nzn,P,13.33"),
              std::string::npos);
    EXPECT_NE(csv.find(",13.3,0,0\n"), std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 17 + 15);

    // Unsettled: empty figures, a quoted German note and no rule rows.
    const std::string open = IdentificationCsv(IdentifyStep(0, 0, 10, x, false));
    EXPECT_NE(open.find("\ntg,\nks,\nnote,\"Die Sprungantwort"), std::string::npos);
    EXPECT_TRUE(open.ends_with("rule,controller,kr,tn,tv,kr_set,tn_set,tv_set\n"));
}
