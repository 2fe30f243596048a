// The wizard driver with fake step windows: creation on first use, the
// routing of "Neste", "Forrige" and cancel, and which windows contribute.
#include "reports/wizard.h"

#include <gtest/gtest.h>

#include <deque>

using namespace lagrull::reports;

namespace {

struct FakeContribution : TSelectionContributor {
    TStringList select, from, where, order;
    TQueryParamList params;
    const TStringList& SelectItems() override { return select; }
    const TStringList& FromItems() override { return from; }
    const TStringList& WhereItems() override { return where; }
    const TQueryParamList& ParamItems() override { return params; }
    const TStringList& OrderByItems() override { return order; }
};

// A window that answers from a script and contributes one condition.
struct FakeStep : TWizardStep {
    FakeStep(std::deque<int>& script, std::string condition) : script_(script) {
        lists.where = {std::move(condition)};
    }
    int ShowModal() override {
        ++shown;
        if (script_.empty()) return kStepCancel;
        const int r = script_.front();
        script_.pop_front();
        return r;
    }
    TSelectionContributor* Contributor() override { return &lists; }
    std::deque<int>& script_;
    FakeContribution lists;
    int shown = 0;
    std::string entry;  // what the user typed, kept between visits
};

class WizardTest : public ::testing::Test {
protected:
    // Steps 1..3, each contributing "cN".
    TWizard makeWizard(int last = 3) {
        TWizard w(1, last);
        for (int n = 1; n <= last; ++n)
            w.SetStep(n, {[this, n] {
                          ++created[n];
                          return std::make_unique<FakeStep>(script, "c" + std::to_string(n));
                      }});
        return w;
    }
    TQueryBuilder builder;
    FakeContribution own;
    std::deque<int> script;
    std::map<int, int> created;
};

}  // namespace

TEST_F(WizardTest, StraightThroughBuildsOwnListsThenEveryStepInOrder) {
    TWizard w = makeWizard();
    own.select = {"m.medlnr"};
    own.where = {"own"};
    script = {kStepNext, kStepNext, kStepNext};
    ASSERT_TRUE(w.Run(builder, &own));
    EXPECT_EQ(builder.WhereItems(), (TStringList{"own", "c1", "c2", "c3"}));
    EXPECT_EQ(created, (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}}));
}

TEST_F(WizardTest, BackAndForthKeepsTheWindowsAndTheirEntries) {
    TWizard w = makeWizard();
    script = {kStepNext, kStepNext, kStepBack, kStepBack, kStepNext, kStepNext, kStepNext};
    w.SetStep(1, {[this] {
                  ++created[1];
                  auto s = std::make_unique<FakeStep>(script, "c1");
                  s->entry = "typed";
                  return s;
              }});
    ASSERT_TRUE(w.Run(builder, nullptr));
    EXPECT_EQ(created, (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}}));
    EXPECT_EQ(w.Window<FakeStep>(2)->shown, 3);
    EXPECT_EQ(w.Window<FakeStep>(1)->entry, "typed");
    EXPECT_EQ(builder.WhereItems(), (TStringList{"c1", "c2", "c3"}));
}

TEST_F(WizardTest, OnlyStepsLastLeftForwardsContribute) {
    // Step 1 goes to step 2 the first time and past it the second time, as
    // "Alle" in a who-step does after the user went back from the criteria.
    TWizard w = makeWizard();
    int visits = 0;
    w.SetStep(1, {[this] { return std::make_unique<FakeStep>(script, "c1"); },
                  [&visits](TWizardStep&, int r) {
                      if (r != kStepNext) return TWizard::kAbort;
                      return ++visits == 1 ? 2 : 3;
                  }});
    script = {kStepNext, kStepNext, kStepBack, kStepBack, kStepNext, kStepNext};
    ASSERT_TRUE(w.Run(builder, nullptr));
    EXPECT_FALSE(w.LeftForwards(2));
    EXPECT_NE(w.Window(2), nullptr);
    EXPECT_EQ(builder.WhereItems(), (TStringList{"c1", "c3"}));

    TQueryBuilder second;
    TWizard v = makeWizard();
    script = {kStepNext, kStepNext, kStepBack, kStepBack, kStepCancel};
    EXPECT_FALSE(v.Run(second, &own));
    EXPECT_FALSE(second.Changed());
}

TEST_F(WizardTest, CancelOrBackingOutBuildsNothing) {
    TWizard w = makeWizard();
    own.select = {"x"};
    script = {kStepNext, 0};
    EXPECT_FALSE(w.Run(builder, &own));
    EXPECT_FALSE(builder.Changed());

    TWizard v = makeWizard();
    script = {kStepBack};  // "Forrige" in the first step leaves the range below
    EXPECT_FALSE(v.Run(builder, &own));
    EXPECT_FALSE(builder.Changed());
}

TEST_F(WizardTest, StartsWhereTheFunctionSays) {
    TWizard w = makeWizard();
    script = {kStepNext, kStepNext};
    ASSERT_TRUE(w.Run(builder, nullptr, 2));
    EXPECT_EQ(w.Window(1), nullptr);
    EXPECT_EQ(builder.WhereItems(), (TStringList{"c2", "c3"}));
}
