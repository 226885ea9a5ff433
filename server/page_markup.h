// Pieces shared by the pages of the local server: the common head, the error page, the
// whitelists and the writing of feed addresses into links.
#pragma once

#include "util/text.h"

// What BuildPage answers for an id it cannot show.
inline constexpr TextView kErrorPage = u"<html><head><title>error</title></head></html>";

// Article titles keep only font and text-style tags.
inline constexpr TextView kTitleWhitelist =
    u"font face size color,b,strong,i,em,u,s,strike,del,tt,sub,sup,small,big";

// Article bodies when define.ini names no whitelist: formatting, links, images, lists, tables,
// quotes and code. No script, style, frames, plug-ins, forms or event attributes, and no
// class or style attribute that could dress an article up as the page's own controls.
inline constexpr TextView kDefaultBodyWhitelist =
    u"p,br/,hr/,div,span,center,h1,h2,h3,h4,h5,h6,b,strong,i,em,u,s,strike,del,ins,tt,sub,sup,"
    u"small,big,font face size color,a href title name,img src alt title width height,"
    u"ul,ol start type,li,dl,dt,dd,table summary width,caption,thead,tbody,tfoot,"
    u"tr,th colspan rowspan align valign,td colspan rowspan align valign,blockquote cite,"
    u"q cite,pre,code,kbd,samp,var,abbr title,cite,ruby,rb,rt,rp";

// "*" in define.ini allows everything (null); nothing configured gives the safe default.
const Text* ResolveBodyWhitelist(TextView configured, Text& storage);

// The lines every page begins with, up to the style sheets; titleLine is a whole
// "<title>...</title>\n".
Text CommonHead(TextView titleLine);

// A feed's address as the value of a double-quoted href: only http, https, ftp and relative
// addresses are written, escaped; anything else becomes "".
Text SafeHref(TextView url);
