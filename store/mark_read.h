// Reading an item: what the reading pages and the view's mark-read command have in common.
#pragma once

#include "store/item_tree.h"

// A site loses its news (its folder too, unless another site there still has news); a folder
// loses the news of every site. Every new article below the item becomes not new and drops
// its body.
void MarkItemRead(CItemBase& item);
// Only the articles below the item become not new; the items' own flags stay.
void ClearArticleNewFlags(CItemBase& item);
