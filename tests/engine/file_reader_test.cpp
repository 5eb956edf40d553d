#include "engine/file_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "tests/support/engine_handle.h"
#include "tests/support/fixtures.h"
#include "tests/support/watchdog.h"

namespace {

using namespace engine;

std::vector<uint8_t> Counting(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

TEST(FileReader, ClosedReaderRefusesEverything) {
    FileReader reader;
    uint8_t buffer[4];
    size_t bytesRead = 99;
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.ReaderSeek(0, SEEK_FROM_START), kNoPosition);
    EXPECT_EQ(reader.ReaderRead(buffer, sizeof buffer, &bytesRead), 0);
    EXPECT_EQ(bytesRead, 0u);
    EXPECT_EQ(reader.ReaderSize(), 0u);
}

TEST(FileReader, OpenFailsForMissingFilesDirectoriesAndFifos) {
    test::TemporaryFile file({1, 2, 3});
    FileReader reader;
    EXPECT_EQ(reader.ReaderOpen(file.Directory() + "/missing.mp3"), 0);
    EXPECT_EQ(reader.ReaderOpen(file.Directory()), 0);
    const std::string fifo = file.Directory() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(reader.ReaderOpen(fifo), 0);  // must not block waiting for a writer
    EXPECT_FALSE(reader.IsOpen());
}

// Every kind of source opens through the same refusal, so no probe, open or
// tag read of a FIFO in the playlist waits for a writer.
TEST(FileReader, NoKindOfSourceWaitsOnAFifo) {
    test::TemporaryFile file({1, 2, 3});
    const std::string fifo = file.Directory() + "/fifo.ogg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    test::RunWithWatchdog(std::chrono::seconds(5), "opening a FIFO", [&] {
        test::EngineHandle engine(PlayerCreate());
        EXPECT_EQ(PlayerOpen(engine.get(), fifo), 0);
        EXPECT_EQ(PlayerIsPlayableFile(fifo), 0);
        PlayerTag tag;
        EXPECT_EQ(PlayerReadFileTag(fifo, &tag), 0);
    });
}

TEST(FileReader, ReadsSeeksAndReportsTheEnd) {
    test::TemporaryFile file(Counting(1000));
    FileReader reader;
    ASSERT_EQ(reader.ReaderOpen(file.Path()), 1);
    EXPECT_EQ(reader.ReaderSize(), 1000u);

    uint8_t buffer[16];
    size_t bytesRead = 0;
    EXPECT_EQ(reader.ReaderSeek(990, SEEK_FROM_START), 990u);
    ASSERT_EQ(reader.ReaderRead(buffer, sizeof buffer, &bytesRead), 1);
    EXPECT_EQ(bytesRead, 10u);
    EXPECT_EQ(buffer[0], uint8_t(990 % 256));

    ASSERT_EQ(reader.ReaderRead(buffer, sizeof buffer, &bytesRead), 1);
    EXPECT_EQ(bytesRead, 0u) << "a read at the end succeeds with nothing";

    EXPECT_EQ(reader.ReaderSeek(-500, SEEK_FROM_CURRENT), 500u);
    EXPECT_EQ(reader.ReaderSeek(0, SEEK_FROM_CURRENT), 500u);
    EXPECT_EQ(reader.ReaderSeek(-1, SEEK_FROM_START), kNoPosition);

    reader.ReaderClose();
    EXPECT_EQ(reader.ReaderSeek(0, SEEK_FROM_START), kNoPosition);
}

TEST(FileReader, PositionsBeyondFourGibibytes) {
    // A sparse file costs no disk space.
    test::TemporaryFile file({});
    const int64_t beyond = (int64_t{1} << 32) + 12345;
    ASSERT_EQ(truncate(file.Path().c_str(), beyond + 1), 0);
    FileReader reader;
    ASSERT_EQ(reader.ReaderOpen(file.Path()), 1);
    EXPECT_EQ(reader.ReaderSize(), uint64_t(beyond + 1));
    EXPECT_EQ(reader.ReaderSeek(beyond, SEEK_FROM_START), uint64_t(beyond));
    uint8_t byte = 7;
    size_t bytesRead = 0;
    ASSERT_EQ(reader.ReaderRead(&byte, 1, &bytesRead), 1);
    EXPECT_EQ(bytesRead, 1u);
    EXPECT_EQ(byte, 0);
}

}  // namespace
