#include "formats/tags/tag_reader.h"

#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tag.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <initializer_list>
#include <vector>

#include "formats/tags/regular_file_stream.h"
#include "platform/utf8.h"

namespace engine {
namespace {

// Audio properties are never read: they cost a scan of MPEG files and the
// engine measures the audio itself.
constexpr bool kReadAudioProperties = false;

// The tags of one file, best first, or nothing when it has none.
using TagList = std::vector<TagLib::Tag*>;

std::string Text(const TagLib::String& text) {
    return platform::TruncateCharacters(text.to8Bit(true), kTagTextCharacters);
}

// A text field, by TagLib's accessor and by its Vorbis comment keys.
struct TextField {
    TagLib::String (TagLib::Tag::*accessor)() const;
    std::initializer_list<const char*> commentKeys;
};

// Vorbis comments may repeat a key; the later comment wins, as in the
// engine's own comment reader (TagLib would join them all with spaces).
TagLib::String TextOf(const TagLib::Tag& tag, const TextField& field) {
    const auto* comments = dynamic_cast<const TagLib::Ogg::XiphComment*>(&tag);
    if (comments == nullptr) return (tag.*field.accessor)();
    const TagLib::Ogg::FieldListMap& map = comments->fieldListMap();
    for (const char* key : field.commentKeys) {
        const auto values = map.find(key);  // TagLib stores the keys in upper case
        if (values != map.end() && !values->second.isEmpty()) return values->second.back();
    }
    return {};
}

// The first non-empty text of `field` among `tags`.
std::string FirstText(const TagList& tags, const TextField& field) {
    for (const TagLib::Tag* tag : tags) {
        const TagLib::String text = TextOf(*tag, field);
        if (!text.isEmpty()) return Text(text);
    }
    return {};
}

int32_t FirstNumber(const TagList& tags, unsigned int (TagLib::Tag::*field)() const) {
    for (const TagLib::Tag* tag : tags) {
        const unsigned int number = (tag->*field)();
        // Larger numbers are no year or track anyone wrote.
        if (number > 0 && number < 100000) return static_cast<int32_t>(number);
    }
    return 0;
}

void LayOver(const TagList& tags, PlayerTag& tag) {
    const auto setText = [](std::string& field, std::string text) {
        if (!text.empty()) field = std::move(text);
    };
    setText(tag.title, FirstText(tags, {&TagLib::Tag::title, {"TITLE"}}));
    setText(tag.artist, FirstText(tags, {&TagLib::Tag::artist, {"ARTIST"}}));
    setText(tag.album, FirstText(tags, {&TagLib::Tag::album, {"ALBUM"}}));
    setText(tag.comment, FirstText(tags, {&TagLib::Tag::comment, {"COMMENT", "DESCRIPTION"}}));
    setText(tag.genreText, FirstText(tags, {&TagLib::Tag::genre, {"GENRE"}}));
    if (const int32_t year = FirstNumber(tags, &TagLib::Tag::year)) tag.year = year;
    if (const int32_t track = FirstNumber(tags, &TagLib::Tag::track)) tag.track = track;
    // The byte follows the name; genreIndex gives 255 for a name outside the list.
    if (!tag.genreText.empty()) {
        tag.genre = TagLib::ID3v1::genreIndex(TagLib::String(tag.genreText, TagLib::String::UTF8));
    }
}

// A picture of the tags: whether it is marked as the front cover, its type
// and its bytes (TagLib shares them, so copies are cheap).
struct Picture {
    bool front = false;
    std::string mimeType;
    TagLib::ByteVector bytes;
};

// What one file holds: its tags, best first, and, when asked, its pictures.
struct Contents {
    TagList tags;
    std::vector<Picture> pictures;
};

void AddId3v2Pictures(TagLib::ID3v2::Tag* tag, std::vector<Picture>& pictures) {
    for (TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
        const auto* attached = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (attached == nullptr) continue;
        pictures.push_back({attached->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover,
                            attached->mimeType().to8Bit(true), attached->picture()});
    }
}

void AddFlacPictures(const TagLib::List<TagLib::FLAC::Picture*>& list, std::vector<Picture>& pictures) {
    for (const TagLib::FLAC::Picture* picture : list) {
        pictures.push_back({picture->type() == TagLib::FLAC::Picture::FrontCover, picture->mimeType().to8Bit(true),
                            picture->data()});
    }
}

// An Ogg file's one tag, its comment block, which may hold pictures too.
template <typename OggFile, typename Use>
bool UseCommentBlock(OggFile& file, bool withPictures, Contents& contents, Use& use) {
    if (!file.isValid() || file.tag() == nullptr) return false;
    contents.tags.push_back(file.tag());
    if (withPictures) AddFlacPictures(file.tag()->pictureList(), contents.pictures);
    return use(contents);
}

// Opens the file as `container` and hands what it holds to `use` while the
// file is open (the tags belong to it). False when the file cannot be read
// or has no tags.
template <typename Use>
bool ReadContents(const std::string& path, TagContainer container, bool withPictures, Use use) {
    RegularFileStream stream(path);
    if (!stream.isOpen()) return false;
    Contents contents;
    switch (container) {
        case TagContainer::Mpeg: {
            TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), kReadAudioProperties);
            if (!file.isValid()) return false;
            if (file.hasID3v2Tag()) {
                contents.tags.push_back(file.ID3v2Tag());
                if (withPictures) AddId3v2Pictures(file.ID3v2Tag(), contents.pictures);
            }
            if (file.hasAPETag()) contents.tags.push_back(file.APETag());
            return !contents.tags.empty() && use(contents);
        }
        case TagContainer::Flac: {
            // FLAC in Ogg keeps its comments in an Ogg packet.
            if (stream.readBlock(4) == TagLib::ByteVector("OggS", 4)) {
                stream.seek(0, TagLib::IOStream::Beginning);
                TagLib::Ogg::FLAC::File file(&stream, kReadAudioProperties);
                return UseCommentBlock(file, withPictures, contents, use);
            }
            stream.seek(0, TagLib::IOStream::Beginning);
            TagLib::FLAC::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), kReadAudioProperties);
            if (!file.isValid()) return false;
            if (file.hasXiphComment()) contents.tags.push_back(file.xiphComment());
            if (file.hasID3v2Tag()) contents.tags.push_back(file.ID3v2Tag());
            if (withPictures) AddFlacPictures(file.pictureList(), contents.pictures);
            return !contents.tags.empty() && use(contents);
        }
        case TagContainer::OggVorbis: {
            TagLib::Ogg::Vorbis::File file(&stream, kReadAudioProperties);
            return UseCommentBlock(file, withPictures, contents, use);
        }
        case TagContainer::Opus: {
            TagLib::Ogg::Opus::File file(&stream, kReadAudioProperties);
            return UseCommentBlock(file, withPictures, contents, use);
        }
        case TagContainer::Wave: {
            TagLib::RIFF::WAV::File file(&stream, kReadAudioProperties);
            if (!file.isValid()) return false;
            if (file.hasID3v2Tag()) {
                contents.tags.push_back(file.ID3v2Tag());
                if (withPictures) AddId3v2Pictures(file.ID3v2Tag(), contents.pictures);
            }
            if (file.hasInfoTag()) contents.tags.push_back(file.InfoTag());
            return !contents.tags.empty() && use(contents);
        }
    }
    return false;
}

}  // namespace

bool ReadContainerTag(const std::string& path, TagContainer container, PlayerTag& tag) {
    return ReadContents(path, container, false, [&tag](const Contents& contents) {
        LayOver(contents.tags, tag);
        return true;
    });
}

bool ReadContainerCover(const std::string& path, TagContainer container, PlayerPicture& picture) {
    return ReadContents(path, container, true, [&picture](const Contents& contents) {
        const Picture* chosen = nullptr;
        for (const Picture& candidate : contents.pictures) {
            if (candidate.bytes.isEmpty() || candidate.bytes.size() > kPlayerPictureBytes) continue;
            if (chosen == nullptr || (candidate.front && !chosen->front)) chosen = &candidate;
        }
        if (chosen == nullptr) return false;
        picture.mimeType = chosen->mimeType;
        picture.bytes.assign(chosen->bytes.data(), chosen->bytes.size());
        return true;
    });
}

}  // namespace engine
