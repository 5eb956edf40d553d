#pragma once

// Files and addresses as other programs hand them over: file:// URIs (a
// desktop's launcher, a file manager's drag) and dropped text, which may be
// a text/uri-list, an address or a path.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The local path a "file:" URI names ("file:///a%20b.mp3", "file://localhost/…",
// "file:/…"), its %XX escapes decoded. Nothing for another scheme, another
// host, a broken escape or a NUL, escaped or not.
std::optional<std::string> PathFromFileUri(std::string_view uri);

// The items of dropped text, one per line: file URIs as their paths,
// http(s) addresses and absolute paths as they are. Blank lines, comment
// lines ('#') and anything else are left out.
std::vector<std::string> ItemsFromDroppedText(std::string_view text);
