#include "formats/tags/regular_file_stream.h"

#include <algorithm>

#include "platform/regular_file.h"

namespace engine {

RegularFileStream::RegularFileStream(const std::string& path) : path_(path) {
    file_ = platform::OpenRegularFileStream(path);
    if (file_ == nullptr) return;
    if (std::fseek(file_, 0, SEEK_END) != 0 || (length_ = std::ftell(file_)) < 0 ||
        std::fseek(file_, 0, SEEK_SET) != 0) {
        std::fclose(file_);
        file_ = nullptr;
        length_ = 0;
    }
}

RegularFileStream::~RegularFileStream() {
    if (file_ != nullptr) std::fclose(file_);
}

TagLib::FileName RegularFileStream::name() const { return path_.c_str(); }

TagLib::ByteVector RegularFileStream::readBlock(unsigned long length) {
    const long position = tell();
    if (file_ == nullptr || position < 0 || position >= length_) return {};
    const auto wanted = static_cast<unsigned int>(std::min<unsigned long>(length, static_cast<unsigned long>(length_ - position)));
    TagLib::ByteVector bytes(wanted, 0);
    const size_t read = std::fread(bytes.data(), 1, wanted, file_);
    bytes.resize(static_cast<unsigned int>(read));
    return bytes;
}

void RegularFileStream::seek(long offset, Position from) {
    if (file_ == nullptr) return;
    const int whence = from == Beginning ? SEEK_SET : from == Current ? SEEK_CUR : SEEK_END;
    std::fseek(file_, offset, whence);
}

long RegularFileStream::tell() const { return file_ == nullptr ? 0 : std::ftell(file_); }

}  // namespace engine
