#include "playlist/display_title.h"

#include "platform/path_text.h"

namespace {

constexpr const char* kUnknownArtist = "Unknown Artist";
constexpr const char* kUntitled = "Untitled";
constexpr const char* kArtistTitleSeparator = " - ";
constexpr const char* kStationTitleSeparator = ": ";

}  // namespace

bool ArtistTitleText(const PlayerTag& tag, std::string& text) {
    if (tag.artist.empty() && tag.title.empty()) return false;
    text = tag.artist.empty() ? kUnknownArtist : tag.artist;
    text += kArtistTitleSeparator;
    text += tag.title.empty() ? kUntitled : tag.title;
    return true;
}

std::string DisplayTitle(const std::string& path) {
    PlayerTag tag;
    std::string text;
    if (PlayerReadFileTag(path, &tag) != 0 && ArtistTitleText(tag, text)) return text;
    return std::string(platform::FileNamePart(path));
}

std::string StreamDisplayTitle(const std::string& stationName, const std::string& streamTitle,
                               const PlaylistEntry& entry) {
    std::string text = stationName.empty() ? EntryTitle(entry) : stationName;
    if (!streamTitle.empty()) text += kStationTitleSeparator + streamTitle;
    return text;
}

std::string EntryTitle(const PlaylistEntry& entry) {
    if (!platform::IsNetworkLocation(entry.Path)) return DisplayTitle(entry.Path);
    return entry.Title.empty() ? entry.Path : entry.Title;
}
