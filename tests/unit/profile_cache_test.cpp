#include "core/profile_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace m450 {
namespace {

// A language file as the platform's reader sees it, counting what it is asked.
struct FakeFile {
    std::map<std::u16string, std::u16string> values;  // "SECTION/KEY" → text
    std::vector<std::u16string> asked;

    ProfileCache::FileRead Reader() {
        return [this](std::u16string_view section, std::u16string_view key) -> std::optional<std::u16string> {
            const std::u16string name = std::u16string(section) + u"/" + std::u16string(key);
            asked.push_back(name);
            const auto found = values.find(name);
            if (found == values.end())
                return std::nullopt;
            return found->second;
        };
    }
};

TEST(ProfileCache, ReadsEachKeyOnceWhileTheFileIsUnchanged) {
    ProfileCache cache;
    FakeFile file{{{u"WATERMARK/RC_RADIO_NO", u"No Water Mark"}}, {}};
    const FileStamp stamp{43150, 133000000000000000};
    for (int repaint = 0; repaint < 3; ++repaint) {
        EXPECT_EQ(cache.Value(u"C:\\ZERN\\ENG_M450.res", stamp, u"WATERMARK", u"RC_RADIO_NO", file.Reader()),
                  u"No Water Mark");
        // A missing key is kept as missing too: the page shows the built-in text.
        EXPECT_EQ(cache.Value(u"C:\\ZERN\\ENG_M450.res", stamp, u"WATERMARK", u"RC_RADIO_TEXT", file.Reader()),
                  std::nullopt);
    }
    EXPECT_EQ(file.asked, (std::vector<std::u16string>{u"WATERMARK/RC_RADIO_NO", u"WATERMARK/RC_RADIO_TEXT"}));
    // Names are kept as asked: the reader, not the cache, decides that "watermark" matches.
    cache.Value(u"C:\\ZERN\\ENG_M450.res", stamp, u"watermark", u"RC_RADIO_NO", file.Reader());
    EXPECT_EQ(file.asked.size(), 3u);
}

TEST(ProfileCache, ReadsAgainWhenSizeOrWriteTimeChangesOrTheFileCannotBeSeen) {
    ProfileCache cache;
    FakeFile english{{{u"LAYOUT/RC_LAYOUTFORM", u"Main"}}, {}};
    const std::u16string path = u"C:\\ZERN\\ENG_M450.res";
    EXPECT_EQ(cache.Value(path, FileStamp{100, 7}, u"LAYOUT", u"RC_LAYOUTFORM", english.Reader()), u"Main");

    // The user's copy refreshed from the driver directory: same size, later write time.
    english.values[u"LAYOUT/RC_LAYOUTFORM"] = u"Layout";
    EXPECT_EQ(cache.Value(path, FileStamp{100, 8}, u"LAYOUT", u"RC_LAYOUTFORM", english.Reader()), u"Layout");
    // Same write time, another size.
    english.values[u"LAYOUT/RC_LAYOUTFORM"] = u"Page";
    EXPECT_EQ(cache.Value(path, FileStamp{98, 8}, u"LAYOUT", u"RC_LAYOUTFORM", english.Reader()), u"Page");
    EXPECT_EQ(english.asked.size(), 3u);

    // A file that cannot be looked at is read every time and drops what was kept of it.
    EXPECT_EQ(cache.Value(path, std::nullopt, u"LAYOUT", u"RC_LAYOUTFORM", english.Reader()), u"Page");
    EXPECT_EQ(cache.Value(path, std::nullopt, u"LAYOUT", u"RC_LAYOUTFORM", english.Reader()), u"Page");
    EXPECT_EQ(cache.FileCount(), 0u);
    EXPECT_EQ(english.asked.size(), 5u);
}

TEST(ProfileCache, KeepsFilesApart) {
    ProfileCache cache;
    FakeFile english{{{u"FONT/RC_FONTFORM", u"Font"}}, {}};
    FakeFile chinese{{{u"FONT/RC_FONTFORM", u"\u5B57\u4F53"}}, {}};  // 字体
    const FileStamp stamp{500, 9};  // the same stamp on two files says nothing about either
    EXPECT_EQ(cache.Value(u"C:\\ZERN\\ENG_M450.res", stamp, u"FONT", u"RC_FONTFORM", english.Reader()), u"Font");
    EXPECT_EQ(cache.Value(u"C:\\ZERN\\CHN_M450.res", stamp, u"FONT", u"RC_FONTFORM", chinese.Reader()),
              u"\u5B57\u4F53");
    EXPECT_EQ(cache.Value(u"C:\\ZERN\\ENG_M450.res", stamp, u"FONT", u"RC_FONTFORM", english.Reader()), u"Font");
    EXPECT_EQ(english.asked.size(), 1u);
    EXPECT_EQ(chinese.asked.size(), 1u);
    EXPECT_EQ(cache.FileCount(), 2u);
}

// Four threads share one cache while the file's stamp keeps changing under them: every value
// they get is the file's, and none is lost or torn (run under the sanitizers too).
TEST(ProfileCache, ServesThreadsAtOnceWhileTheFileChanges) {
    ProfileCache cache;
    const auto read = [](std::u16string_view, std::u16string_view key) -> std::optional<std::u16string> {
        return std::u16string(u"text of ") + std::u16string(key);
    };
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (uint64_t i = 0; i < 2000; ++i) {
                const FileStamp stamp{100, i / 50 + static_cast<uint64_t>(t % 2)};
                const std::optional<std::u16string> value =
                    cache.Value(u"C:\\ZERN\\ENG_M450.res", stamp, u"LAYOUT", i % 2 ? u"RC_ZOOM" : u"RC_SCALE", read);
                if (value != (i % 2 ? u"text of RC_ZOOM" : u"text of RC_SCALE"))
                    ++wrong;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(cache.FileCount(), 1u);
}

}  // namespace
}  // namespace m450
