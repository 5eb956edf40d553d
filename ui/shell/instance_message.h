#pragma once

// What a later start of the player asks of the running one: the files,
// directories and addresses it was given, and whether they replace the
// playlist or join its end. An empty list only brings the player forward.
//
// The message, version 1, is text with counted items:
//
//     tunelark-open 1\n
//     replace\n  or  enqueue\n
//     <item count>\n
//     then per item: <byte count>\n<the item's bytes>\n
//
// Counts are decimal without sign or leading zeros. Anyone with access to
// the socket can send anything, so the reader accepts only this exact shape
// within the limits, and nothing at all otherwise.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kMaximumOpenMessageBytes = 1024 * 1024;
inline constexpr size_t kMaximumOpenItemBytes = 64 * 1024;

struct OpenRequest {
    // Absolute paths and URLs, in the order given.
    std::vector<std::string> items;
    bool enqueue = false;

    bool operator==(const OpenRequest&) const = default;
};

// True for what an item may be: an absolute path or a "scheme://" address,
// within kMaximumOpenItemBytes, without NUL bytes.
bool IsOpenableItem(std::string_view item);

// The message for `request`. Items that are not openable, and those that
// would take it past kMaximumOpenMessageBytes, are left out;
// `itemsLeftOut` (when given) counts them.
std::string EncodeOpenRequest(const OpenRequest& request, size_t* itemsLeftOut = nullptr);

// The request in `message`, or nothing when it is not a well-formed
// version 1 message within the limits whose items are all openable.
std::optional<OpenRequest> DecodeOpenRequest(std::string_view message);
