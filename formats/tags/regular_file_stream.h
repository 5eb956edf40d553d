#pragma once

// A read-only TagLib stream over a regular file. TagLib's own stream opens
// by name, which waits forever on a FIFO; this one opens through
// platform::OpenRegularFile, so anything but a regular file is refused at
// once. Reads never go past the end, so a length in a hostile header cannot
// make TagLib allocate more than the file holds.

#include <taglib/tiostream.h>

#include <cstdio>
#include <string>

namespace engine {

class RegularFileStream final : public TagLib::IOStream {
public:
    explicit RegularFileStream(const std::string& path);
    ~RegularFileStream() override;
    RegularFileStream(const RegularFileStream&) = delete;
    RegularFileStream& operator=(const RegularFileStream&) = delete;

    TagLib::FileName name() const override;
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return file_ != nullptr; }
    void seek(long offset, Position from) override;
    long tell() const override;
    long length() override { return length_; }
    void truncate(long) override {}

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    long length_ = 0;
};

}  // namespace engine
