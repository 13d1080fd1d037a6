// The text table, the store's slots, the language-file format and the shipped language files.
#include "core/text_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/language_file.h"
#include "core/language_rules.h"

namespace m450 {
namespace {

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

// A reader over a small in-memory file: section -> key -> text.
TextReader MapReader(const std::map<std::pair<std::u16string, std::u16string>, std::u16string>& texts) {
    return [texts](std::u16string_view section, std::u16string_view key) -> std::optional<std::u16string> {
        const auto it = texts.find({std::u16string(section), std::u16string(key)});
        if (it == texts.end())
            return std::nullopt;
        return it->second;
    };
}

// The section id of the ID naming rule.
std::string SectionId(std::u16string_view section) {
    if (section == u"1DCODE")
        return "CODE1D";
    if (section == u"2DCODE")
        return "CODE2D";
    if (section == u"MessageBox")
        return "MSG";
    return Narrow(section);
}

TEST(TextTable, IdsKeysAndCapacitiesFollowTheRules) {
    static const char* const kIds[] = {
#define M450_TEXT(id, section, key, text, capacity) #id,
#include "core/text_keys.inc"
#undef M450_TEXT
    };
    std::set<std::pair<std::u16string_view, std::u16string_view>> seen;
    std::set<std::u16string_view> finishedSections;
    std::u16string_view current;
    size_t index = 0;
    for (const TextKey& key : AllTextKeys()) {
        SCOPED_TRACE(kIds[index]);
        EXPECT_EQ(kIds[index], SectionId(key.section) + "_" + Narrow(key.key));
        EXPECT_TRUE(seen.insert({key.section, key.key}).second) << "key listed twice";
        if (key.section != current) {
            EXPECT_TRUE(finishedSections.insert(key.section).second) << "section rows not together";
            current = key.section;
        }
        const std::set<uint16_t> capacities = {20, 50, 100, 256, 1024};
        EXPECT_TRUE(capacities.count(key.capacity));
        if (key.key.starts_with(u"CTEXT_") || key.key.starts_with(u"MB_")) {
            EXPECT_EQ(key.capacity, 1024);
        }
        if (key.key.ends_with(u"FORM")) {
            EXPECT_EQ(key.capacity, 20);
        }
        EXPECT_EQ(FindTextId(key.section, key.key), static_cast<TextId>(index));
        ++index;
    }
    EXPECT_EQ(index, kTextCount);
    EXPECT_EQ(KeyOf(TextId::UTILITY_RC_STATIC_CHECKCOMM).capacity, 100);
    EXPECT_EQ(KeyOf(TextId::GPD_RC_DENSITY_INDEX).defaultText, u"Density");
    EXPECT_FALSE(FindTextId(u"LAYOUT", u"RC_NO_SUCH_KEY"));
}

TEST(TextTable, MessageSetsOfTheSheets) {
    size_t document = 0, device = 0, all = 0;
    for (size_t i = 0; i < kTextCount; ++i) {
        const TextId id = static_cast<TextId>(i);
        document += IsMessageOf(id, MessageSet::DocumentSheet);
        device += IsMessageOf(id, MessageSet::DeviceSheet);
        all += IsMessageOf(id, MessageSet::All);
    }
    EXPECT_EQ(all, 28u);
    EXPECT_EQ(document, 15u);  // 3 captions, 1D, 2D, 7 watermark, 2 layout, operation
    EXPECT_EQ(device, 16u);    // 3 captions, utility, 12 download
    EXPECT_TRUE(IsMessageOf(TextId::MSG_MB_ERROR, MessageSet::DeviceSheet));
    EXPECT_TRUE(IsMessageOf(TextId::MSG_MB_OPERATION_ERROR1, MessageSet::DocumentSheet));
    EXPECT_FALSE(IsMessageOf(TextId::MSG_MB_OPERATION_ERROR1, MessageSet::DeviceSheet));
    EXPECT_TRUE(IsMessageOf(TextId::MSG_MB_WATERMARK_ERROR7, MessageSet::DocumentSheet));
    EXPECT_FALSE(IsMessageOf(TextId::MSG_MB_DOWNLOAD_ERROR10, MessageSet::DocumentSheet));
    EXPECT_FALSE(IsMessageOf(TextId::LAYOUT_RC_LAYOUTFORM, MessageSet::All));
}

TEST(TextStore, SlotsAreCutToTheirCapacity) {
    LanguageTextStore store;
    const char16_t* title = store.Text(TextId::LAYOUT_RC_LAYOUTFORM);
    EXPECT_EQ(std::u16string_view(title), u"Main");

    const std::u16string help1023(1023, u'h');
    const std::u16string help1500(1500, u'x');
    store.LoadSection(u"LAYOUT", MapReader({
                                     {{u"LAYOUT", u"RC_LAYOUTFORM"}, u"Twenty-five characters!!"},
                                     {{u"LAYOUT", u"CTEXT_CHECK_ZOOM"}, help1023},
                                     {{u"LAYOUT", u"CTEXT_SCALE"}, help1500},
                                 }));
    // A 20-character slot shows 19 characters; the slot stays where the page title points.
    EXPECT_EQ(store.Text(TextId::LAYOUT_RC_LAYOUTFORM), title);
    EXPECT_EQ(std::u16string_view(title), u"Twenty-five charact");
    EXPECT_EQ(store.View(TextId::LAYOUT_CTEXT_CHECK_ZOOM), help1023);
    EXPECT_EQ(store.View(TextId::LAYOUT_CTEXT_SCALE), help1500.substr(0, 1023));
    EXPECT_EQ(std::u16string_view(store.Text(TextId::LAYOUT_CTEXT_SCALE)).size(), 1023u);
    // Keys the file lacks show their built-in texts.
    EXPECT_EQ(store.View(TextId::LAYOUT_RC_CHECK_ZOOM), u"Zoom Printing");

    // A cut never leaves half of a surrogate pair: 18 letters and a pair make 20 units.
    const std::u16string withPair = std::u16string(18, u'a') + u"\U0001F600";
    store.LoadSection(u"LAYOUT", MapReader({{{u"LAYOUT", u"RC_LAYOUTFORM"}, withPair}}));
    EXPECT_EQ(store.View(TextId::LAYOUT_RC_LAYOUTFORM), std::u16string(18, u'a'));
    EXPECT_EQ(CutToCapacity(u"abc", 0), u"");
    EXPECT_EQ(CutToCapacity(u"abc", 4), u"abc");
    EXPECT_EQ(CutToCapacity(u"abcd", 4), u"abc");
}

TEST(TextStore, MissingFileSectionOrKeyGivesTheBuiltInTexts) {
    LanguageTextStore store;
    const TextReader chinese = MapReader({
        {{u"VERSION", u"RC_VERSIONFORM"}, u"版本"},
        {{u"MessageBox", u"MB_ERROR"}, u"错误"},
        {{u"MessageBox", u"MB_UTILITY_ERROR1"}, u"设置失败"},
    });
    store.LoadSection(u"VERSION", chinese);
    store.LoadMessages(MessageSet::DocumentSheet, chinese);
    EXPECT_EQ(store.View(TextId::VERSION_RC_VERSIONFORM), u"版本");
    EXPECT_EQ(store.View(TextId::MSG_MB_ERROR), u"错误");
    // The device sheet's message is not part of the document sheet's load.
    EXPECT_EQ(store.View(TextId::MSG_MB_UTILITY_ERROR1), u"Set custom paper size failed!");
    // Other sections are not touched by a section load.
    store.LoadSection(u"VERSION", MapReader({}));
    EXPECT_EQ(store.View(TextId::VERSION_RC_VERSIONFORM), u"Version");
    EXPECT_EQ(store.View(TextId::MSG_MB_ERROR), u"错误");

    // A file without "MessageBox": all 25 messages show their English texts again.
    store.LoadMessages(MessageSet::All, MapReader({{{u"LAYOUT", u"RC_LAYOUTFORM"}, u"x"}}));
    for (size_t i = 0; i < kTextCount; ++i) {
        const TextId id = static_cast<TextId>(i);
        if (IsMessageOf(id, MessageSet::All)) {
            EXPECT_EQ(store.View(id), KeyOf(id).defaultText);
        }
    }
    // No reader at all (no file): defaults.
    store.Load(TextId::MSG_MB_ERROR, nullptr);
    EXPECT_EQ(store.View(TextId::MSG_MB_ERROR), u"Error");
    EXPECT_EQ(store.View(TextId::VERSION_RC_STATIC_VER5),
              u"Product: Setup_KVL-M450\nInstall version: v1.0\nUI version: v1.0");
}

// The module's store is the calling thread's own: a load on another thread leaves this one's
// texts and file name as they were.
TEST(TextStore, EachThreadHasItsOwnStore) {
    Texts().SetTextFileName(u"CHN_M450.res");
    Texts().Load(TextId::LAYOUT_RC_LAYOUTFORM, [](std::u16string_view, std::u16string_view) {
        return std::optional<std::u16string>(u"\u5E38\u89C4");  // 常规
    });
    std::u16string otherTitle;
    std::thread other([&] {
        Texts().SetTextFileName(u"ENG_M450.res");
        Texts().Load(TextId::LAYOUT_RC_LAYOUTFORM, nullptr);
        otherTitle = Texts().View(TextId::LAYOUT_RC_LAYOUTFORM);
    });
    other.join();
    EXPECT_EQ(otherTitle, u"Main");
    EXPECT_EQ(Texts().View(TextId::LAYOUT_RC_LAYOUTFORM), u"\u5E38\u89C4");
    EXPECT_EQ(Texts().TextFileName(), u"CHN_M450.res");
    Texts().SetTextFileName(std::nullopt);
    Texts().Load(TextId::LAYOUT_RC_LAYOUTFORM, nullptr);
}

TEST(TextStore, FileNameAndPaths) {
    LanguageTextStore store;
    EXPECT_EQ(store.TextFileName(), u"ENG_M450.res");
    EXPECT_EQ(std::u16string_view(store.TextFilePath()), u"");  // no folder yet: no path
    EXPECT_EQ(store.SystemEntryText(), u"System Language");

    EXPECT_TRUE(store.SetUserFolder(u"C:\\users\\u\\AppData\\Roaming\\ZERN\\"));
    store.SetTextFileName(u"CHN_M450.res");
    EXPECT_EQ(std::u16string_view(store.TextFilePath()), u"C:\\users\\u\\AppData\\Roaming\\ZERN\\CHN_M450.res");
    EXPECT_EQ(std::u16string_view(store.LanguageListPath()),
              u"C:\\users\\u\\AppData\\Roaming\\ZERN\\LANGUAGE_M450.dat");

    // 29 characters fit the 30-character slot; a longer registry value counts as missing.
    const std::u16string name29 = std::u16string(25, u'n') + u".res";
    store.SetTextFileName(name29);
    EXPECT_EQ(store.TextFileName(), name29);
    store.SetTextFileName(name29 + u"x");
    EXPECT_EQ(store.TextFileName(), u"ENG_M450.res");
    store.SetTextFileName(u"");
    EXPECT_EQ(store.TextFileName(), u"ENG_M450.res");

    // A folder too long for the path slot leaves no path rather than a cut one.
    EXPECT_FALSE(store.SetUserFolder(std::u16string(kLanguagePathCapacity, u'f')));
    EXPECT_EQ(std::u16string_view(store.TextFilePath()), u"");
    EXPECT_TRUE(store.SetUserFolder(std::u16string(kLanguagePathCapacity - 12, u'f')));
    EXPECT_EQ(std::u16string_view(store.TextFilePath()), u"");  // folder fits, folder + name doesn't
    EXPECT_EQ(std::u16string_view(store.LanguageListPath()), u"");

    store.SetSystemEntryText(u"系统语言(System)");
    EXPECT_EQ(store.SystemEntryText(), u"系统语言(System)");
}

TEST(LanguageFileFormat, ReadsAsThePlatformReaderDoes) {
    const LanguageFile file = LanguageFile::FromText(
        u"lost=before any section\r\n"
        u"[LAYOUT]\r\n"
        u"  RC_A =  spaced value  \r\n"
        u"rc_b=\"  quoted  \"\r\n"
        u"RC_C='single'\r\n"
        u"RC_D=\"only at start\r\n"
        u"RC_E=line one\\nline two\\\\n\\x\r\n"
        u"RC_F=\r\n"
        u"RC_G\r\n"
        u"RC_H=a=b\n"
        u"[layout]\r\n"
        u"RC_I=second section of the same name\r\n");
    EXPECT_EQ(file.Value(u"LAYOUT", u"RC_A"), u"spaced value");
    EXPECT_EQ(file.Value(u"Layout", u"RC_B"), u"  quoted  ");
    EXPECT_EQ(file.Value(u"LAYOUT", u"RC_C"), u"single");
    EXPECT_EQ(file.Value(u"LAYOUT", u"RC_D"), u"\"only at start");
    EXPECT_EQ(file.Value(u"LAYOUT", u"RC_E"), u"line one\\nline two\\\\n\\x");
    EXPECT_EQ(file.Text(u"LAYOUT", u"RC_E"), u"line one\nline two\\n\\x");
    EXPECT_EQ(file.Value(u"LAYOUT", u"RC_F"), u"");
    EXPECT_EQ(file.Value(u"LAYOUT", u"RC_G"), std::nullopt);
    EXPECT_EQ(file.Value(u"LAYOUT", u"RC_H"), u"a=b");
    EXPECT_EQ(file.Value(u"LAYOUT", u"RC_I"), std::nullopt);  // only the first [LAYOUT] is read
    EXPECT_EQ(file.Value(u"LAYOUT", u"lost"), std::nullopt);
    EXPECT_EQ(file.Value(u"GPD", u"RC_A"), std::nullopt);
    EXPECT_EQ(file.Keys().size(), 10u);

    const uint8_t utf16[] = {
        0xFF, 0xFE,                               // byte-order mark
        '[',  0,    'S', 0, ']',  0,    '\r', 0,  // [S]
        '\n', 0,                                  //
        'K',  0,    '=', 0, 0x53, 0x6D,           // K=浓
        0xA6, 0x5E,                               // 度
        'x',                                      // an odd last byte
    };
    const std::optional<LanguageFile> parsed = LanguageFile::FromBytes(utf16);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->Text(u"S", u"K"), u"浓度");  // the odd last byte is ignored
    const uint8_t noBom[] = {'[', 0, 'S', 0, ']', 0};
    EXPECT_FALSE(LanguageFile::FromBytes(noBom));
    EXPECT_FALSE(LanguageFile::FromBytes({}));
}

TEST(LanguageFileFormat, EncodedTextsReadBackExactly) {
    const std::u16string texts[] = {
        u"Select this font size in the application. ",  // a trailing blank survives in quotes
        u" leading blank",
        u"'quoted'",
        u"\"double quoted\"",
        u"\"",
        u"two\nlines",
        u"back\\slash\\n",
        u"",
        u"“ Not printed”",
        u"\u3000全角空格\u3000",
    };
    for (const std::u16string& text : texts) {
        const std::optional<std::u16string> stored = EncodeLanguageText(text);
        ASSERT_TRUE(stored) << Narrow(text);
        EXPECT_EQ(stored->find(u'\n'), std::u16string::npos);
        const LanguageFile file = LanguageFile::FromText(u"[S]\r\nK=" + *stored + u"\r\n");
        EXPECT_EQ(file.Text(u"S", u"K"), text) << Narrow(*stored);
    }
    EXPECT_EQ(EncodeLanguageText(u"two\nlines"), u"two\\nlines");
    EXPECT_EQ(EncodeLanguageText(u"tail "), u"\"tail \"");
    EXPECT_FALSE(EncodeLanguageText(u"carriage\rreturn"));
    EXPECT_FALSE(EncodeLanguageText(u"tab\there"));
    EXPECT_EQ(DecodeLanguageText(u"end\\"), u"end\\");
}

// The shipped files, read from the source tree.
std::filesystem::path LangDir() {
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "lang";
}

std::optional<LanguageFile> ReadShipped(const char* name) {
    std::ifstream in(LangDir() / name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return LanguageFile::FromBytes(bytes);
}

void ExpectEveryKeyAndNoOther(const LanguageFile& file, const char* name) {
    SCOPED_TRACE(name);
    for (const auto& [section, key] : file.Keys()) {
        const bool version = section == kFileVersionSection && key == kFileVersionKey;
        EXPECT_TRUE(version || FindTextId(section, key)) << "unknown key " << Narrow(section) << "/" << Narrow(key);
    }
    EXPECT_EQ(file.Keys().size(), kTextCount + 1);  // no key twice
    EXPECT_EQ(ProfileInt(file.Value(kFileVersionSection, kFileVersionKey), 0), 1);
    for (const TextKey& key : AllTextKeys()) {
        const std::optional<std::u16string> text = file.Text(key.section, key.key);
        ASSERT_TRUE(text) << "missing " << Narrow(key.section) << "/" << Narrow(key.key);
        EXPECT_FALSE(text->empty()) << Narrow(key.key);
        EXPECT_LT(text->size(), key.capacity) << Narrow(key.key) << " is cut by its slot";
    }
}

TEST(ShippedLanguageFiles, EnglishIsTheTableAndTranslationsAreComplete) {
    const std::optional<LanguageFile> english = ReadShipped("ENG_M450.res");
    const std::optional<LanguageFile> simplified = ReadShipped("CHN_M450.res");
    const std::optional<LanguageFile> traditional = ReadShipped("CHF_M450.res");
    ASSERT_TRUE(english && simplified && traditional);
    ExpectEveryKeyAndNoOther(*english, "ENG_M450.res");
    ExpectEveryKeyAndNoOther(*simplified, "CHN_M450.res");
    ExpectEveryKeyAndNoOther(*traditional, "CHF_M450.res");

    for (const TextKey& key : AllTextKeys())
        EXPECT_EQ(english->Text(key.section, key.key), key.defaultText) << Narrow(key.key);

    // The sheet recognises the host's density option by these words.
    EXPECT_EQ(simplified->Text(u"GPD", u"RC_DENSITY_INDEX"), u"浓度");
    EXPECT_EQ(traditional->Text(u"GPD", u"RC_DENSITY_INDEX"), u"濃度");
    // Line breaks come through as line breaks.
    EXPECT_TRUE(simplified->Text(u"VERSION", u"RC_STATIC_VER5")->starts_with(u"产品：Setup_KVL-M450\n"));
    EXPECT_NE(traditional->Text(u"MessageBox", u"MB_DOWNLOAD_ERROR4")->find(u'\n'), std::u16string::npos);
    // Translated, not copied.
    EXPECT_EQ(simplified->Text(u"LAYOUT", u"RC_LANGUAGE"), u"语言：");
    EXPECT_EQ(traditional->Text(u"LAYOUT", u"RC_LANGUAGE"), u"語言：");
}

TEST(ShippedLanguageFiles, LanguageListNamesTheThreeFiles) {
    const std::optional<LanguageFile> list = ReadShipped("LANGUAGE_M450.dat");
    ASSERT_TRUE(list);
    const std::vector<LanguageEntry> languages = BuildLanguageList(ReaderOf(*list));
    ASSERT_EQ(languages.size(), 3u);
    EXPECT_EQ(languages[0].name, u"English");
    EXPECT_EQ(languages[1].name, u"简体中文");
    EXPECT_EQ(languages[2].name, u"繁體中文");
    EXPECT_EQ(languages[1].textFile, u"CHN_M450.res");
    EXPECT_EQ(languages[2].textFile, u"CHF_M450.res");
    // Each system entry is the one start-up chooses for that language's system.
    EXPECT_EQ(languages[0].systemEntry, SystemLanguageFor(0x0409).systemEntry);
    EXPECT_EQ(languages[1].systemEntry, SystemLanguageFor(0x0804).systemEntry);
    EXPECT_EQ(languages[2].systemEntry, SystemLanguageFor(0x0404).systemEntry);
    EXPECT_EQ(list->Value(kLanguageListSection, kCurrentFileKey), u"ENG_M450.res");
}

}  // namespace
}  // namespace m450
