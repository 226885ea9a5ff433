#include "ui/tree_rules.h"

#include <gtest/gtest.h>

TEST(TreeRules, ImagesFollowTheItemState) {
  struct Row {
    SiteState site;
    int image;
  };
  const Row sites[] = {
      {{false, true, false, false}, kImageSite},
      {{false, true, false, true}, kImageSiteNews},
      {{true, true, true, true}, kImageSiteChecking},
      {{false, false, true, true}, kImageSiteCannotCheck},
      {{false, true, true, true}, kImageSiteError},
  };
  for (const auto& row : sites) EXPECT_EQ(SiteImage(row.site), row.image);
  EXPECT_EQ(FolderImage({false, false, false}), kImageFolder);
  EXPECT_EQ(FolderImage({false, false, true}), kImageFolderNews);
  EXPECT_EQ(FolderImage({false, true, true}), kImageFolderChecking);
  EXPECT_EQ(FolderImage({true, false, false}), kImageSyncFolder);
  EXPECT_EQ(FolderImage({true, false, true}), kImageSyncFolderNews);
  EXPECT_EQ(FolderImage({true, true, false}), kImageSyncFolderChecking);
}

TEST(TreeRules, BoldStateAndParentFollowTheImage) {
  auto news = SiteImageChange(kImageSite, kImageSiteNews, true);
  EXPECT_TRUE(news.setImage && news.parentBold && news.refreshParent);
  EXPECT_EQ(news.bold, std::optional<bool>(true));
  auto read = SiteImageChange(kImageSiteNews, kImageSite, false);
  EXPECT_EQ(read.bold, std::optional<bool>(false));
  EXPECT_FALSE(read.parentBold);
  auto same = SiteImageChange(kImageSiteNews, kImageSiteNews, true);
  EXPECT_FALSE(same.setImage || same.refreshParent || same.bold);
  // A site without a feed URL is bold only while it has news, and its folder is looked at.
  auto cannot = SiteImageChange(kImageSiteCannotCheck, kImageSiteCannotCheck, false);
  EXPECT_FALSE(cannot.setImage);
  EXPECT_EQ(cannot.bold, std::optional<bool>(false));
  EXPECT_TRUE(cannot.refreshParent);
  EXPECT_EQ(SiteImageChange(kImageSiteChecking, kImageSiteError, true).bold, std::optional<bool>(true));
  // A node made anew looks as a refresh would leave it: bold exactly where a refresh makes it so.
  const SiteState states[] = {{false, true, false, false}, {false, true, false, true}, {false, false, false, true},
                              {false, true, true, true}, {false, true, true, false}};
  for (const SiteState& state : states) {
    const NodeLook look = SiteLook(state);
    EXPECT_EQ(look.image, SiteImage(state));
    EXPECT_EQ(look.bold, SiteImageChange(-1, look.image, state.isNew).bold.value_or(false));
  }
  EXPECT_TRUE(FolderLook({true, false, true}).bold);
  EXPECT_FALSE(FolderLook({false, false, false}).bold);
  EXPECT_FALSE(SiteImageChange(kImageSite, kImageSiteChecking, false).bold.has_value());

  auto folder = FolderImageChange(kImageFolder, kImageFolderNews);
  EXPECT_TRUE(folder.setImage && folder.notifyMainWindow);
  EXPECT_EQ(folder.bold, std::optional<bool>(true));
  EXPECT_EQ(FolderImageChange(kImageSyncFolderNews, kImageSyncFolder).bold, std::optional<bool>(false));
  EXPECT_FALSE(FolderImageChange(kImageFolderNews, kImageFolderChecking).bold.has_value());
  EXPECT_FALSE(FolderImageChange(kImageFolder, kImageFolder).notifyMainWindow);
}

TEST(TreeRules, MovedFolderLandsBeforeTheTargetOrAtTheEnd) {
  struct Row {
    size_t count, moved, target;
    bool lowerHalf;
    std::vector<size_t> order;
  };
  const Row rows[] = {
      {4, 0, 3, true, {1, 2, 3, 0}},   // first onto the lower half of the last: to the end
      {4, 0, 1, false, {}},            // onto the upper half of the second: stays first
      {4, 0, 0, false, {}},            // onto itself
      {4, 0, 1, true, {1, 0, 2, 3}},   // lower half of the second: before the third
      {4, 3, 0, false, {3, 0, 1, 2}},  // last onto the upper half of the first
      {4, 2, 1, true, {}},             // before the next folder, which is itself
      {4, 3, 3, true, {}},             // already last
      {3, 1, 7, false, {}},            // no such folder
  };
  for (const auto& row : rows)
    EXPECT_EQ(MoveFolderOrder(row.count, row.moved, row.target, row.lowerHalf), row.order)
        << row.moved << " onto " << row.target << (row.lowerHalf ? " lower" : " upper");
  EXPECT_TRUE(NormalSortOrder(false));
  EXPECT_FALSE(NormalSortOrder(true));
}
