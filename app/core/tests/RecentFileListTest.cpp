// The File menu's recent files: newest first, no path twice, as many as the places; kept in the profile between
// sessions and shown in the menu's places.
#include "core/CRecentFileList.h"
#include "core/ProfileSettings.h"
#include "core/tests/AppFakes.h"
#include "frame/CommandIds.h"
#include "profile/CAppProfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using app_fakes::AppFixture;
using Files = std::vector<std::string>;

TEST(RecentFileList, NewestFirstWithoutRepeatsAndNoLongerThanItsPlaces)
{
    CRecentFileList list(3);
    for (const char* path : {"/a.png", "/b.png", "/c.qrx", "/d.bmp"})
        list.Add(path);
    EXPECT_EQ(list.Files(), (Files{"/d.bmp", "/c.qrx", "/b.png"}));
    list.Add("/b.png");
    EXPECT_EQ(list.Files(), (Files{"/b.png", "/d.bmp", "/c.qrx"}));
    list.Add("");
    list.Remove(1);
    list.Remove(7);
    EXPECT_EQ(list.Files(), (Files{"/b.png", "/c.qrx"}));

    list.Add("/R&D/slide.qrx");
    EXPECT_EQ(list.MenuText(0), "&1 /R&&D/slide.qrx");
    EXPECT_EQ(list.MenuText(2), "&3 /c.qrx");
    EXPECT_EQ(list.MenuText(3), "");
}

TEST_F(AppFixture, RecentFilesComeFromTheProfileFillTheMenuAndGoBackAtExit)
{
    AppProfile().SetRegistryKey(kProfileRegistryKey);
    AppProfile().SetAppName(kProfileAppName);
    AppProfile().WriteProfileString(CRecentFileList::kSection, "File1", "/images/a.png");
    AppProfile().WriteProfileString(CRecentFileList::kSection, "File2", "/images/gone.qrx");
    AppProfile().WriteProfileString(CRecentFileList::kSection, "File3", "/images/a.png");

    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    ASSERT_NE(vistrel.RecentFiles(), nullptr);
    EXPECT_EQ(vistrel.RecentFiles()->Files(), (Files{"/images/a.png", "/images/gone.qrx"}));

    vistrel.AddToRecentFileList("/images/new.png");
    CCmdUI first(cmd::ID_FILE_MRU_FILE1);
    vistrel.OnUpdateRecentFileMenu(&first);
    EXPECT_TRUE(first.State().enabled);
    EXPECT_EQ(first.State().text, "&1 /images/new.png");
    CCmdUI fourth(cmd::ID_FILE_MRU_FILE1 + 3);
    vistrel.OnUpdateRecentFileMenu(&fourth);
    EXPECT_EQ(fourth.State().visible, false);

    // No document host here, so nothing opens: the file leaves the list.
    vistrel.OnOpenRecentFile(cmd::ID_FILE_MRU_FILE1 + 2);
    EXPECT_EQ(vistrel.RecentFiles()->Files(), (Files{"/images/new.png", "/images/a.png"}));

    vistrel.ExitInstance();
    EXPECT_EQ(AppProfile().GetProfileString(CRecentFileList::kSection, "File1"), "/images/new.png");
    EXPECT_EQ(AppProfile().GetProfileString(CRecentFileList::kSection, "File2"), "/images/a.png");
    EXPECT_EQ(AppProfile().GetProfileString(CRecentFileList::kSection, "File3"), "");
}

TEST_F(AppFixture, AnEmptyRecentFileListShowsOneDisabledPlace)
{
    CVistrelApp& vistrel = MakeApp();
    ASSERT_TRUE(vistrel.InitInstance());
    for (UINT id = cmd::ID_FILE_MRU_FILE1; id <= cmd::ID_FILE_MRU_FILE9; ++id) {
        CCmdUI ui(id);
        vistrel.OnUpdateRecentFileMenu(&ui);
        EXPECT_FALSE(ui.State().enabled);
        EXPECT_EQ(ui.State().visible, id == cmd::ID_FILE_MRU_FILE1);
        EXPECT_FALSE(ui.State().text.has_value());
    }
    vistrel.ExitInstance();
}
