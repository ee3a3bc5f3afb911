// CPdfActiveContentFilter: takes out of raw object texts what would make a viewer run or open
// something on its own, before a writer copies them into its output.
//
// What goes: every action dictionary whose /S is JavaScript, Launch, ImportData, SubmitForm,
// Rendition (it may carry a script), RichMediaExecute or GoToE (an embedded file's own scripts
// would run), or is a reference (its type cannot be told from the text); a URI action whose address
// is not a web or mail one (javascript:, file:, any other scheme, a relative address); a GoToR or
// Thread action to a file that is no PDF (a program). Such an action goes wherever it stands (an
// object of its own, /OpenAction, /A, a trigger of /AA, /Next, inside an array). Also every
// /JavaScript entry (the document's list of scripts in its /Names), /XFA form (its scripts run in
// viewers that read it), 3D and rich media artwork (/3DD, /OnInstantiate, /RichMediaContent, and 3D
// streams themselves) and any /JS script left outside such an action. An entry whose value is such
// an action is removed with its key; an action inside an array becomes null; an object that is
// itself such an action becomes null, so that references to it (/A 12 0 R) lead nowhere (a page,
// page-tree node or catalog that claims to be one only loses its /S and /JS). What stays: links
// (GoTo, GoToR to PDF files, URI to web and mail addresses, Named, Thread), embedded files, form
// fields with their values and appearances, and the actions that only change the view (Hide,
// ResetForm, SetOCGState, Trans, Sound, Movie).
//
// The filter works on the raw text only, token by token (names written with #xx escapes and strings
// with their escapes are decoded before they are compared), and keeps every other byte as it was.
// The script text of a dropped action kept in an object of its own (/JS 15 0 R) becomes null too
// when it is filtered after the action. An object whose dictionaries nest deeper than the filter
// looks is taken as a whole for active content and becomes null. One filter serves one run: it
// counts what it dropped, each object once however often it is filtered.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "pdf/CPdfWarnings.h"

// How the filter's one warning starts.
inline constexpr std::string_view kActiveContentWarning = "active content removed from the output:";

class CPdfActiveContentFilter {
  public:
    static constexpr int kMaxDepth = 64;

    // `raw` (the whole "n g obj ... endobj" text of input object `number`) without its active
    // content; the text unchanged when it holds none.
    std::string FilterText(int number, std::string raw);
    std::optional<std::string> Filter(int number, std::optional<std::string> raw);

    // One warning naming what was dropped ("active content removed: 2 JavaScript actions, ...");
    // nothing when nothing was.
    void Report(CPdfWarnings& warnings) const;
    // What was dropped, by kind ("JavaScript action", "document script list", ...).
    const std::map<std::string, int>& Dropped() const { return m_dropped; }

  private:
    // One reading of `raw`: what it is without the active content found, adding to `drops`.
    std::string FilterOnce(int number, const std::string& raw, std::map<std::string, int>& drops);
    // Adds the drops of object `number` to the count, once for each object.
    void Count(int number, const std::map<std::string, int>& drops);

    std::map<std::string, int> m_dropped;
    std::set<int> m_counted;        // objects whose drops are counted already
    std::set<int> m_scriptObjects;  // the script texts (/JS n g R) of dropped actions
};
