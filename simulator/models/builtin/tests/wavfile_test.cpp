// The WAV reader on whole, damaged and unsupported files held in memory.
#include "simulator/models/builtin/wavfile.h"

#include "simulator/models/builtin/tests/wavbytes.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

WAVFILE::RESULT openbytes(WAVFILE& wave, const std::vector<unsigned char>& bytes, std::string& reason)
{
    return wave.open(
        [&bytes](int64_t offset, void* buffer, int64_t count) {
            int64_t n
                = std::max<int64_t>(0, std::min<int64_t>(count, static_cast<int64_t>(bytes.size()) - offset));
            std::copy_n(bytes.begin() + offset, n, static_cast<unsigned char*>(buffer));
            return n;
        },
        static_cast<int64_t>(bytes.size()), reason);
}

TEST(WavFile, ReadsEightBitMonoAndSixteenBitStereoFrames)
{
    std::vector<unsigned char> mono = WAVBYTES::riff(WAVBYTES()
                                                         .chunk("fmt ", WAVBYTES::format(1, 8000, 8))
                                                         .chunk("LIST", { 1, 2, 3 })
                                                         .chunk("data", { 128, 0, 255, 192, 64 }));
    WAVFILE wave;
    std::string reason;
    ASSERT_EQ(openbytes(wave, mono, reason), WAVFILE::OK) << reason;
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.bits, 8);
    EXPECT_EQ(wave.rate, 8000);
    ASSERT_EQ(wave.frames, 5);
    const double expected[] = { 0, -1, 127.0 / 128, 0.5, -0.5 };
    for (int64_t i = 0; i < 5; ++i) {
        double left = 9;
        double right = 9;
        ASSERT_TRUE(wave.frame(i, &left, &right));
        EXPECT_DOUBLE_EQ(left, expected[i]) << i;
        EXPECT_DOUBLE_EQ(right, expected[i]) << i;
    }
    double left;
    double right;
    EXPECT_FALSE(wave.frame(5, &left, &right));

    // A trailing odd byte of 16-bit data makes no frame.
    std::vector<unsigned char> data = WAVBYTES::samples16({ 16384, -32768, 32767, 0 });
    data.push_back(7);
    std::vector<unsigned char> stereo
        = WAVBYTES::riff(WAVBYTES().chunk("fmt ", WAVBYTES::format(2, 44100, 16)).chunk("data", data));
    ASSERT_EQ(openbytes(wave, stereo, reason), WAVFILE::OK) << reason;
    ASSERT_EQ(wave.frames, 2);
    ASSERT_TRUE(wave.frame(1, &left, &right));
    EXPECT_DOUBLE_EQ(left, 32767.0 / 32768);
    EXPECT_DOUBLE_EQ(right, 0);
    ASSERT_TRUE(wave.frame(0, &left, &right));
    EXPECT_DOUBLE_EQ(left, 0.5);
    EXPECT_DOUBLE_EQ(right, -1);
}

TEST(WavFile, FramesOfALongFileReadThroughItsWindow)
{
    std::vector<int16_t> samples(100000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i % 30000);
    std::vector<unsigned char> file = WAVBYTES::riff(
        WAVBYTES().chunk("fmt ", WAVBYTES::format(1, 48000, 16)).chunk("data", WAVBYTES::samples16(samples)));
    auto path = vkt::test::makeTempSubfolder("wave") / "long.wav";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    WAVFILE wave;
    std::string reason;
    ASSERT_EQ(wave.open(path.c_str(), reason), WAVFILE::OK) << reason;
    ASSERT_EQ(wave.frames, 100000);
    for (int64_t i : { 0, 1, 40000, 32767, 99999, 5 }) {
        double left;
        double right;
        ASSERT_TRUE(wave.frame(i, &left, &right)) << i;
        EXPECT_DOUBLE_EQ(left, (i % 30000) / 32768.0) << i;
    }
    EXPECT_EQ(wave.open((path.parent_path() / "none.wav").c_str(), reason), WAVFILE::CANNOTOPEN);
    EXPECT_FALSE(wave.isopen());
}

TEST(WavFile, DamagedAndForeignFilesAreRefusedWithTheirReason)
{
    std::vector<unsigned char> format = WAVBYTES::format(1, 8000, 8);
    std::vector<unsigned char> whole
        = WAVBYTES::riff(WAVBYTES().chunk("fmt ", format).chunk("data", { 1, 2 }));
    std::vector<unsigned char> truncated(whole.begin(), whole.end() - 1);
    std::vector<unsigned char> longdata = whole;
    longdata[whole.size() - 6] = 3; // the data chunk claims one byte more than the RIFF chunk holds
    std::vector<unsigned char> shortriff = whole;
    shortriff[4] = 37; // ends after the first byte of the data
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        WAVFILE::RESULT result;
        const char* reason;
    } cases[] = {
        { "empty", {}, WAVFILE::NOTWAV, "no RIFF chunk of form WAVE" },
        { "another RIFF form", WAVBYTES().text("RIFF").u32(4).text("AVI ").data, WAVFILE::NOTWAV,
            "no RIFF chunk of form WAVE" },
        { "no format", WAVBYTES::riff(WAVBYTES().chunk("data", { 1 })), WAVFILE::NOTWAV, "no format chunk" },
        { "data before format", WAVBYTES::riff(WAVBYTES().chunk("data", { 1 }).chunk("fmt ", format)),
            WAVFILE::NOTWAV, "no data chunk after the format chunk" },
        { "file cut short", truncated, WAVFILE::DAMAGED, "the RIFF chunk runs past the end of the file" },
        { "data past the RIFF chunk", longdata, WAVFILE::DAMAGED,
            "the 'data' chunk runs past the end of the RIFF chunk" },
        { "RIFF chunk ends inside the data", shortriff, WAVFILE::DAMAGED,
            "the 'data' chunk runs past the end of the RIFF chunk" },
        { "short format", WAVBYTES::riff(WAVBYTES().chunk("fmt ", { 1, 0, 1, 0 }).chunk("data", { 1 })),
            WAVFILE::DAMAGED, "the format chunk is shorter than 16 bytes" },
        { "rate 0", WAVBYTES::riff(WAVBYTES().chunk("fmt ", WAVBYTES::format(1, 0, 8)).chunk("data", { 1 })),
            WAVFILE::DAMAGED, "its sample rate is 0" },
        { "24 bits",
            WAVBYTES::riff(WAVBYTES().chunk("fmt ", WAVBYTES::format(1, 8000, 24)).chunk("data", { 1 })),
            WAVFILE::UNSUPPORTED,
            "it holds samples of format 1, 24 bits, 1 channels; only 8-bit and 16-bit PCM, mono or stereo, "
            "can be "
            "played" },
        { "six channels",
            WAVBYTES::riff(WAVBYTES().chunk("fmt ", WAVBYTES::format(6, 8000, 16)).chunk("data", { 1 })),
            WAVFILE::UNSUPPORTED,
            "it holds samples of format 1, 16 bits, 6 channels; only 8-bit and 16-bit PCM, mono or stereo, "
            "can be "
            "played" },
        { "compressed",
            WAVBYTES::riff(WAVBYTES().chunk("fmt ", WAVBYTES::format(1, 8000, 8, 6)).chunk("data", { 1 })),
            WAVFILE::UNSUPPORTED,
            "it holds samples of format 6, 8 bits, 1 channels; only 8-bit and 16-bit PCM, mono or stereo, "
            "can be "
            "played" },
    };
    for (const auto& c : cases) {
        WAVFILE wave;
        std::string reason;
        EXPECT_EQ(openbytes(wave, c.bytes, reason), c.result) << c.what;
        EXPECT_EQ(reason, c.reason) << c.what;
        EXPECT_FALSE(wave.isopen()) << c.what;
    }
}

} // namespace
