// What the band does on the browser's navigation events: feeds announced by a loaded page go to
// the toolbar, and a page that is left takes its feeds along.
#pragma once

#include <oaidl.h>

class CRssToolbarCtrl;

// `frame` is the browser object of the window or frame that loaded a document.
void DiscoverFeeds(IDispatch* frame, CRssToolbarCtrl& toolbar);
// `frame` is the browser object of the window or frame about to navigate.
void ForgetFeedsOnNavigation(IDispatch* frame, CRssToolbarCtrl& toolbar);
