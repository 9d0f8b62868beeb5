#include <gtest/gtest.h>

#include <vector>

#include "toolkit/component.h"

namespace {

// Logs its name when it dies, with "+" when it already knew it was being destroyed.
class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, std::vector<UString>* log) : TComponent(owner), FLog(log) {}
    ~TProbe() override { FLog->push_back(Name() + (InState(csDestroying) ? u"+" : u"-")); }
    UString ClassName() const override { return u"TProbe"; }

private:
    std::vector<UString>* FLog;
};

}  // namespace

TEST(Component, OwnedComponentsDieNewestFirstAndKnowTheirOwnerIsGoing) {
    std::vector<UString> log;
    {
        TProbe owner(nullptr, &log);
        owner.SetName(u"owner");
        owner.CreateOwned<TProbe>(&log)->SetName(u"first");
        TProbe* second = owner.CreateOwned<TProbe>(&log);
        second->SetName(u"second");
        EXPECT_EQ(owner.FindComponent(u"second"), second);
        EXPECT_EQ(owner.FindComponent(u"third"), nullptr);
        EXPECT_FALSE(second->InState(csDestroying));
    }
    EXPECT_EQ(log, (std::vector<UString>{u"owner-", u"second+", u"first+"}));
}

TEST(Component, StateFlagsAreIndependentBits) {
    std::vector<UString> log;
    TProbe probe(nullptr, &log);
    EXPECT_EQ(probe.ComponentState(), 0);
    const TComponentStateFlag flags[] = {csLoading, csReading, csDestroying};
    for (size_t i = 0; i < 3; ++i) {
        probe.IncludeState(flags[i]);
        for (size_t j = 0; j < 3; ++j) EXPECT_EQ(probe.InState(flags[j]), i == j) << i << " " << j;
        probe.ExcludeState(flags[i]);
        EXPECT_EQ(probe.ComponentState(), 0);
    }
    probe.IncludeState(csLoading);
    probe.Loaded();
    EXPECT_FALSE(probe.InState(csLoading));
}
