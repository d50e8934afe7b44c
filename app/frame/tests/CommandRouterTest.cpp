// The router against fake targets at each level of the route: which handler runs, and the state a command shows.
#include "frame/CommandRouter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FakeTarget : public CommandMapTarget<FakeTarget>
{
public:
    FakeTarget(std::string name, std::vector<std::string>& log, std::span<const CommandMapEntry<FakeTarget>> map)
        : m_name(std::move(name)), m_log(log)
    {
        AddCommandMap(map);
    }

    void OnCommand(UINT id) { m_log.push_back(m_name + ":" + std::to_string(id)); }
    void OnUpdateEnable(CCmdUI* ui) { ui->Enable(true); }
    void OnUpdateDisable(CCmdUI* ui) { ui->Enable(false); }
    void OnUpdateCheck(CCmdUI* ui) { ui->SetCheck(1); }
    void OnUpdateText(CCmdUI* ui) { ui->SetText("renamed"); }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

using F = FakeTarget;

const CommandMapEntry<F> kView[] = {
    CommandIdEntry(100, &F::OnCommand, &F::OnUpdateCheck),
    CommandIdEntry(101, &F::OnCommand),
    CommandIdEntry(104, &F::OnCommand, &F::OnUpdateDisable),
    CommandIdEntry(110, &F::OnCommand),
};
const CommandMapEntry<F> kDocument[] = {
    CommandIdEntry(101, &F::OnCommand),
    CommandIdEntry(102, &F::OnCommand),
};
const CommandMapEntry<F> kChild[] = {
    CommandIdEntry(103, &F::OnCommand),
    UpdateEntry(105, &F::OnUpdateEnable),
};
const CommandMapEntry<F> kFrame[] = {
    CommandIdEntry(102, &F::OnCommand),
    CommandIdEntry(103, &F::OnCommand),
    UpdateEntry(110, &F::OnUpdateDisable),
    CommandRangeEntry(200, 210, &F::OnCommand, &F::OnUpdateText),
};
const CommandMapEntry<F> kApp[] = {
    CommandIdEntry(100, &F::OnCommand),
    CommandIdEntry(104, &F::OnCommand),
    CommandIdEntry(107, &F::OnCommand),
};

struct RouteCase
{
    UINT id;
    const char* ran;  // "" when nothing may run
    bool enabled;
    bool checked;
};

class CommandRouterTest : public ::testing::Test
{
protected:
    std::vector<std::string> log;
    FakeTarget view{"view", log, kView};
    FakeTarget document{"document", log, kDocument};
    FakeTarget child{"child", log, kChild};
    FakeTarget frame{"frame", log, kFrame};
    FakeTarget app{"app", log, kApp};
    CommandRoute route{&view, &document, &child, &frame, &app};
    CommandRouter router{[this] { return route; }};

    void Check(const RouteCase& c)
    {
        SCOPED_TRACE(c.id);
        log.clear();
        const CommandState state = router.Query(c.id);
        EXPECT_EQ(state.enabled, c.enabled);
        EXPECT_EQ(state.checked, c.checked);
        EXPECT_EQ(router.Execute(c.id), *c.ran != '\0');
        if (*c.ran)
            EXPECT_EQ(log, std::vector<std::string>{c.ran});
        else
            EXPECT_TRUE(log.empty());
    }
};

TEST_F(CommandRouterTest, FirstTargetOnTheRouteRunsTheCommandAndUpdateHandlersDecideTheState)
{
    const RouteCase cases[] = {
        {100, "view:100", true, true},          // the view's own update handler ticks it
        {101, "view:101", true, false},         // the view before its document
        {102, "document:102", true, false},     // the document before the main frame
        {103, "child:103", true, false},        // the child frame before the main frame
        {104, "", false, false},                // disabled by the view: the application's handler must not run
        {105, "", true, false},                 // enabled by an update handler, but nobody handles it
        {107, "app:107", true, false},          // the application last
        {109, "", false, false},                // nobody knows it: disabled
        {110, "", false, false},                // an update handler further down the route still disables it
        {205, "frame:205", true, false},        // a range entry passes the id
    };
    for (const RouteCase& c : cases)
        Check(c);
    EXPECT_EQ(router.Query(205).text.value_or(""), "renamed");
    EXPECT_FALSE(router.Query(100).text.has_value());
}

TEST_F(CommandRouterTest, MissingTargetsAreSkipped)
{
    route.view = nullptr;
    route.document = nullptr;
    route.childFrame = nullptr;
    const RouteCase cases[] = {
        {100, "app:100", true, false},
        {101, "", false, false},
        {102, "frame:102", true, false},
        {104, "app:104", true, false},
    };
    for (const RouteCase& c : cases)
        Check(c);
}

}  // namespace
