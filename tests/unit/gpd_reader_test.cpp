// The printer description as the reader sees it: the shipped driver/KVL-M450.gpd against the
// facts the plug-in and the INF rely on, and malformed descriptions refused with their reason.
#include "uicore/gpd_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace m450::gpd {
namespace {

std::string DriverFile(const char* name) {
    std::ifstream in(std::string(M450_DRIVER_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The quoted model names of the INF's model sections ([Quorven.NTamd64], [Quorven.NTx86]).
std::vector<std::string> InfModelNames(const std::string& inf) {
    std::vector<std::string> names;
    std::istringstream lines(inf);
    bool inModels = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("["))
            inModels = line.starts_with("[Quorven.");
        else if (inModels && line.starts_with("\""))
            names.push_back(line.substr(1, line.find('"', 1) - 1));
    }
    return names;
}

TEST(GpdReader, ShippedDescriptionNamesTheInfModel) {
    const Result read = Read(DriverFile("KVL-M450.gpd"));
    ASSERT_TRUE(read.file) << read.Message();
    EXPECT_EQ(Unquote(*read.file->RootAttribute("ModelName")), "KVL-M450");
    EXPECT_EQ(InfModelNames(DriverFile("KVL-M450.inf")), (std::vector<std::string>{"KVL-M450", "KVL-M450"}));
    EXPECT_EQ(read.file->RootAttribute("GPDSpecVersion"), "\"1.0\"");
    EXPECT_EQ(read.file->RootAttribute("MasterUnits"), "PAIR(180, 180)");
}

TEST(GpdReader, ShippedDensityFeatureIsTheOneThePluginRelabels) {
    const Result read = Read(DriverFile("KVL-M450.gpd"));
    ASSERT_TRUE(read.file) << read.Message();
    const Feature* density = read.file->FindFeature("PrintDensity");
    ASSERT_NE(density, nullptr);
    // A document-sheet feature without a public device-mode field: the host shows it at level 2
    // under Printer Features, and its first option names the density.
    EXPECT_EQ(density->featureType, "DOC_PROPERTY");
    EXPECT_EQ(density->displayName, "Printing Density");
    EXPECT_EQ(density->defaultOption, "Normal");
    ASSERT_EQ(density->options.size(), 3u);
    EXPECT_EQ(density->options[0].displayName, "Light Density");
    EXPECT_EQ(density->options[1].displayName, "Normal Density");
    EXPECT_EQ(density->options[2].displayName, "Dark Density");
    // GS ( K with function 49 sets the density: -3 (FD), 0, 3.
    EXPECT_EQ(Unquote(density->options[0].entry->Child("Command")->Child("Cmd")->value),
              std::string("\x1D(K\x02\x00\x31\xFD", 7));
}

TEST(GpdReader, ShippedRollPaperAndRasterCommand) {
    const Result read = Read(DriverFile("KVL-M450.gpd"));
    ASSERT_TRUE(read.file) << read.Message();
    const Option* custom = read.file->FindFeature("PaperSize")->FindOption("CUSTOMSIZE");
    ASSERT_NE(custom, nullptr);
    const auto min = ReadPair(custom->entry->Child("MinSize")->value);
    const auto max = ReadPair(custom->entry->Child("MaxSize")->value);
    EXPECT_EQ(min, (std::pair<long, long>{291, 180}));    // 41.07 x 25.4 mm at 180 per inch
    EXPECT_EQ(max, (std::pair<long, long>{566, 23216}));  // 79.86 x 3275.9 mm
    // Within the Utility page's widths, 410-800 tenths of a millimetre (254 per 180 units).
    EXPECT_GE(min->first * 254, 410 * 180);
    EXPECT_LE(max->first * 254, 800 * 180);

    const Entry* block = read.file->FindFeature("Resolution")->options[0].entry->Child("Command");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->value, "CmdSendBlockData");
    EXPECT_EQ(block->Child("Cmd")->value, "\"<1D>v0<00>\" %l{RasterDataWidthInBytes} %l{RasterDataHeightInPixels}");
}

constexpr const char* kRequired =
    "*GPDSpecVersion: \"1.0\"\n*ModelName: \"M\"\n*MasterUnits: PAIR(180, 180)\n"
    "*PrinterType: SERIAL\n";

TEST(GpdReader, EntriesOnOneLineContinuedAndWithParameterBraces) {
    const Result read = Read(std::string(kRequired) +
                             "*Command: CmdYMoveRelDown { *Cmd: \"<1B>J\" %c[0,255]{max_repeat(DestYRel)} }\n"
                             "*Feature: F { *Name: \"Long\"\n + \" name\" *% a comment\n *Option: A { } }\n");
    ASSERT_TRUE(read.file) << read.Message();
    const std::vector<Entry>& entries = read.file->Entries();
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[4].children.at(0).value, "\"<1B>J\" %c[0,255]{max_repeat(DestYRel)}");
    EXPECT_EQ(entries[5].Child("Name")->value, "\"Long\" \" name\"");
    EXPECT_EQ(entries[5].Child("Option")->line, 8u);
    EXPECT_EQ(Unquote("\"100%% %<sure> <41 42>\""), "100% <sure> AB");
    EXPECT_EQ(Unquote("\"<4>\""), std::nullopt);
    EXPECT_EQ(ReadPair("PAIR( -3 ,7)"), (std::pair<long, long>{-3, 7}));
    EXPECT_EQ(ReadPair("PAIR(3)"), std::nullopt);
}

TEST(GpdReader, MalformedDescriptionsFailWithTheirReason) {
    const std::string required = kRequired;
    const struct {
        std::string text;
        Error error;
        const char* message;
    } cases[] = {
        {"*ModelName: \"M\"\n*MasterUnits: PAIR(180, 180)\n*PrinterType: SERIAL\n", Error::kMissingRequiredAttribute,
         "missing required root attribute *GPDSpecVersion"},
        {"*GPDSpecVersion: \"1.0\"\n*ModelName: \"M\"\n*PrinterType: SERIAL\n", Error::kMissingRequiredAttribute,
         "missing required root attribute *MasterUnits"},
        {"*% comment\n" + required, Error::kSpecVersionNotFirst,
         "line 2: *GPDSpecVersion must be the first entry, before any comment"},
        {required + "*Feature: F\n{\n    *Option: A\n    {\n    }\n", Error::kUnclosedBrace,
         "line 5: the block opened here is never closed"},
        {required + "*Feature: F\n{\n}\n}\n", Error::kUnexpectedCloseBrace,
         "line 8: unexpected '}' with no open block"},
        {required + "*Feature: F\n{\n}\n{\n}\n", Error::kBraceWithoutEntry, "line 8: '{' follows no entry"},
        {required + "*Name: \"open\n", Error::kUnterminatedString, "line 5: a quoted string is not closed on its line"},
        {required + "ModelName: \"M\"\n", Error::kNotAnEntry, "line 5: not a GPD entry: ModelName: \"M\""},
    };
    for (const auto& c : cases) {
        const Result read = Read(c.text);
        EXPECT_FALSE(read.file) << c.text;
        EXPECT_EQ(read.error, c.error) << c.text;
        EXPECT_EQ(read.Message(), c.message);
    }
    std::string deep = required;
    for (int i = 0; i < 40; ++i)
        deep += "*Feature: F {\n";
    EXPECT_EQ(Read(deep).Message(), "line 37: blocks nested too deeply in *Feature");
}

}  // namespace
}  // namespace m450::gpd
