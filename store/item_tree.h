// The subscriptions in memory: folders at the top, sites inside them, each site with the
// articles of its last successful check. The view owns the top-level folders; everyone else
// reaches items through it and holds observer pointers only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "store/rss_item.h"
#include "util/text.h"
#include "util/xml_element.h"

class CFolderItem;

// What reading an item from the data file needs besides the element.
struct ItemReadOptions {
  std::size_t loadItem = 15;  // articles kept per site
  Text auctionHostFragment;   // sites whose src contains it compare articles without dates
};

class CItemBase {
 public:
  static constexpr int32_t kKindFolder = 1;
  static constexpr int32_t kKindSite = 16;
  // Error codes of a check besides HTTP statuses and network-library codes.
  static constexpr int32_t kErrorTimeout = 1;
  static constexpr int32_t kErrorXml = 40000;  // not well-formed
  static constexpr int32_t kErrorRss = 50000;  // well-formed but no feed

  CItemBase(const CItemBase&) = delete;
  CItemBase& operator=(const CItemBase&) = delete;
  virtual ~CItemBase();

  virtual const Text& GetTitle() const;
  virtual void SetTitle(TextView text);
  // The item's element of the data file, with everything below it.
  virtual bool LoadFromXml(const XmlElement& element, const ItemReadOptions& options);
  virtual std::optional<XmlElement> SaveToXml() const;
  virtual int32_t GetNewFlag() const;
  virtual bool IsCheckable() const;
  virtual bool HasError() const;
  virtual Text GetErrorText() const;
  virtual const Text& GetLink() const;
  virtual const Text& GetSrc() const;
  virtual const Text& GetOrgSrc() const;

  // The folder holding this item; null for a top-level folder and for a detached item.
  CFolderItem* Parent() const { return parent_; }

  Text title;
  Text link;            // the site's home page, from the feed's channel link
  int32_t newFlag = 0;  // 1: unread new articles
  int32_t interval = -1;  // folders: minutes between checks; 0 = never on the timer, -1 = setting
  int32_t noCheck = 0;    // 1: left out of all checks
  Text src;               // feed address; for a folder the OPML list it follows
  Text user;
  Text pass;              // always in its protected form
  Text lastModified;      // sent back as If-Modified-Since
  Text etag;              // the entity tag of the last answer, sent back as If-None-Match
  Text orgSrc;            // the address as the user registered it
  uint32_t checkCount = 0;
  uint32_t updateCount = 0;
  uint32_t errorCount = 0;
  int64_t updateTime = 0;  // seconds since 1970-01-01 UTC; 0 = never
  int32_t errorCode = 0;   // see GetErrorText
  const int32_t kind;

 protected:
  explicit CItemBase(int32_t kind);

 private:
  friend CItemBase* InsertChildAfter(CFolderItem&, std::unique_ptr<CItemBase>, const CItemBase*);
  friend std::vector<CItemBase*> InsertChildrenAfter(CFolderItem&, std::vector<struct ChildInsertion>);
  friend std::unique_ptr<CItemBase> RemoveChild(CFolderItem&, const CItemBase*);

  CFolderItem* parent_ = nullptr;
};

class CFolderItem : public CItemBase {
 public:
  // Display order. Only the tree operations below change it, so every Parent() stays right.
  using ChildList = std::vector<std::unique_ptr<CItemBase>>;

  struct ChildCount {
    int all = 0;
    int fresh = 0;  // children whose new flag is not 0
  };

  CFolderItem();
  ~CFolderItem() override;

  bool LoadFromXml(const XmlElement& element, const ItemReadOptions& options) override;
  std::optional<XmlElement> SaveToXml() const override;

  const ChildList& Children() const { return children_; }

  int32_t filterMode = 0;    // 1 on, 2 any keyword, 4 invert, 8 failing article is made not new
  Text filterKeywords;       // separated by spaces, double quotes group
  int32_t filterFields = 0;  // 1 skip title, 2 skip content, 4 search link, 8 search creator

 private:
  friend CItemBase* InsertChildAfter(CFolderItem&, std::unique_ptr<CItemBase>, const CItemBase*);
  friend std::vector<CItemBase*> InsertChildrenAfter(CFolderItem&, std::vector<struct ChildInsertion>);
  friend std::unique_ptr<CItemBase> RemoveChild(CFolderItem&, const CItemBase*);
  friend void EraseChildren(CFolderItem&, const std::vector<const CItemBase*>&);
  friend void SortChildren(CFolderItem&, bool, bool);

  ChildList children_;
};

class CRssSiteItem : public CItemBase {
 public:
  CRssSiteItem();
  ~CRssSiteItem() override;

  bool LoadFromXml(const XmlElement& element, const ItemReadOptions& options) override;
  std::optional<XmlElement> SaveToXml() const override;

  std::unique_ptr<CRssItemArray> articles;  // the last successful check; may be null
  int32_t compareDate = 1;  // 1: a seen article must also keep its date text
};

// 1 when src begins with "pelunpub:", 2 for "http:" or "https:", else 0 (case-sensitive).
int SourceKind(const CItemBase& item);
// Sites with equal keys are one subscription for checking purposes.
Text UniqueKey(const CItemBase& site);
CFolderItem::ChildCount CountChildren(const CFolderItem& folder);

// Inserts item directly after the child `after`, or first when `after` is null or not a child.
// Returns the inserted item (null when item is null).
CItemBase* InsertChildAfter(CFolderItem& folder, std::unique_ptr<CItemBase> item,
                            const CItemBase* after);
struct ChildInsertion {
  const CItemBase* after = nullptr;  // a child, an item inserted earlier in the same call, or null
  std::unique_ptr<CItemBase> item;
};
// Does what InsertChildAfter would do for each insertion in turn, in one pass over the folder
// however many there are. Returns the inserted items in the order given.
std::vector<CItemBase*> InsertChildrenAfter(CFolderItem& folder, std::vector<ChildInsertion> insertions);
// Removes and destroys every child of the folder that `items` names, in one pass.
void EraseChildren(CFolderItem& folder, const std::vector<const CItemBase*>& items);
// Detaches item and hands it to the caller, who deletes it by dropping the result; null when
// item is not a child of folder.
std::unique_ptr<CItemBase> RemoveChild(CFolderItem& folder, const CItemBase* item);
// By title (code-unit order) or by update time (sites only, newest first in normal order);
// normalOrder clear reverses. Items that compare equal keep their order.
void SortChildren(CFolderItem& folder, bool byUpdateTime, bool normalOrder);

int NewArticleCount(const CRssSiteItem& site);
bool HasNewArticles(const CRssSiteItem& site);
Text GetErrorText(int32_t errorCode);

// New flags are kept at 0 or 1 so that a folder's flag says exactly whether one of its sites
// has news.
void SetSiteNewFlag(CRssSiteItem& site, bool isNew, bool propagate);
void SetFolderNewFlag(CFolderItem& folder, bool isNew, bool toChildren);
void ApplyCheckResultFlag(CRssSiteItem& site);
