// devmode default | convert FILE | merge FILE | show FILE | set FILE NAME=VALUE…: the private
// record as the host would get it, read field by field, and changed as the pages change it.
#include "commands.h"

#include "barcode/barcode_data.h"
#include "barcode/barcode_page_rules.h"
#include "core/hex_text.h"
#include "core/devmode.h"
#include "core/text_store.h"
#include "document/event_operations.h"
#include "document/layout_rules.h"
#include "document/watermark_rules.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace m450::tool {

namespace {

using DevModeOperation = void (*)(std::span<const uint8_t>, PlugInDevMode*, std::u16string_view);

uint32_t SignatureOf(std::span<const uint8_t> bytes) {
    return uint32_t{bytes[4]} | uint32_t{bytes[5]} << 8 | uint32_t{bytes[6]} << 16 | uint32_t{bytes[7]} << 24;
}

uint32_t SizeOf(std::span<const uint8_t> bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

std::string SignatureText(uint32_t signature) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>(signature >> shift);
        if (c < 0x20 || c > 0x7E) {
            char hex[16];
            std::snprintf(hex, sizeof(hex), "0x%08X", static_cast<unsigned>(signature));
            return hex;
        }
        text += c;
    }
    return "'" + text + "'";
}

// The file's record merged (or converted) into a default record, as the host hands it to the
// pages; `foreign` tells whether the file was another driver's, so that defaults were used.
struct LoadedRecord {
    PlugInDevMode record{};
    std::vector<uint8_t> file;
    bool foreign = false;
};

std::optional<LoadedRecord> LoadRecord(std::string_view path, DevModeOperation operation, std::string& error) {
    auto input = ReadInputFile(path, error);
    if (!input)
        return std::nullopt;
    if (input->size() < sizeof(DevModeHeader)) {
        error = std::string(path) + " is shorter than the 12-byte record header";
        return std::nullopt;
    }
    LoadedRecord loaded;
    const std::u16string systemDirectory = SystemDirectory();
    DefaultDevMode(loaded.record, systemDirectory);
    operation(*input, &loaded.record, systemDirectory);
    loaded.foreign = SignatureOf(*input) != kPlugInSignature;
    loaded.file = std::move(*input);
    return loaded;
}

void SayDefaultsUsed(std::string_view path, const LoadedRecord& loaded) {
    if (loaded.foreign)
        std::fprintf(stderr, "m450tool: %.*s is not a record of this driver (signature %s): the defaults were used\n",
                     static_cast<int>(path.size()), path.data(), SignatureText(SignatureOf(loaded.file)).c_str());
}

// The output starts as a default record, as the host's does before it converts or merges;
// bytes that Default leaves alone are zero.
int RunOnFile(const Args& args, DevModeOperation operation) {
    std::string error;
    const auto loaded = LoadRecord(args.Operand(0), operation, error);
    if (!loaded)
        return Refuse(error);
    SayDefaultsUsed(args.Operand(0), *loaded);
    return WriteBinaryOutput(args, DevModeBytes(loaded->record));
}

// ---- Fields by name -----------------------------------------------------------------------

// What setting a field did: refused (with the reason), stored, or stored after a clamp.
struct SetResult {
    bool stored = true;
    std::string note;  // the reason of a refusal, or what the clamp changed
};

struct Field {
    std::string name;
    std::function<std::string(const PlugInDevMode&)> show;
    std::function<SetResult(PlugInDevMode&, std::string_view)> set;  // empty: no page sets it
};

std::string Utf8(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

// An entry of a list of language texts, in the order of the rows of its section.
std::string ListText(TextId first, unsigned index) {
    return Utf8(KeyOf(static_cast<TextId>(static_cast<unsigned>(first) + index)).defaultText);
}

std::string Named(uint32_t value, const std::string& name) {
    return std::to_string(value) + (name.empty() ? "" : " (" + name + ")");
}

std::optional<int32_t> Typed(std::string_view text) {
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

SetResult NotANumber(std::string_view text) {
    return {false, "\"" + std::string(text) + "\" is not a whole number"};
}

SetResult Clamped(int64_t typed, int64_t stored) {
    if (typed == stored)
        return {};
    return {true, std::to_string(typed) + " is clamped to " + std::to_string(stored)};
}

// A list or a yes/no field: only the values of its entries.
std::optional<SetResult> OutsideList(int32_t value, unsigned entries, unsigned first = 0) {
    if (value >= static_cast<int32_t>(first) && value < static_cast<int32_t>(first + entries))
        return std::nullopt;
    return SetResult{false, "takes " + std::to_string(first) + " to " + std::to_string(first + entries - 1)};
}

template <typename Store>
std::function<SetResult(PlugInDevMode&, std::string_view)> Number(Store store) {
    return [store](PlugInDevMode& record, std::string_view text) -> SetResult {
        const auto typed = Typed(text);
        return typed ? Clamped(*typed, store(record, *typed)) : NotANumber(text);
    };
}

template <typename Store>
std::function<SetResult(PlugInDevMode&, std::string_view)> Choice(unsigned entries, unsigned first, Store store) {
    return [=](PlugInDevMode& record, std::string_view text) -> SetResult {
        const auto typed = Typed(text);
        if (!typed)
            return NotANumber(text);
        if (auto refused = OutsideList(*typed, entries, first))
            return *refused;
        store(record, static_cast<uint8_t>(*typed));
        return {};
    };
}

std::string Quoted(std::u16string_view text) {
    return "\"" + Utf8(text.substr(0, text.find(u'\0'))) + "\"";
}

template <size_t N>
Field TextField(std::string name, char16_t (PlugInDevMode::*field)[N]) {
    return {std::move(name),
            [field](const PlugInDevMode& r) {
                return Quoted({r.*field, N});
            },
            [field](PlugInDevMode& r, std::string_view text) -> SetResult {
                std::u16string value = Utf8ToUtf16(text);
                SetResult result;
                if (value.size() > N - 1) {
                    value.resize(N - 1);
                    result.note = "cut to its " + std::to_string(N - 1) + " characters";
                }
                std::memset(r.*field, 0, sizeof(r.*field));
                std::memcpy(r.*field, value.data(), value.size() * sizeof(char16_t));
                return result;
            }};
}

Field Flag(std::string name, uint8_t PlugInDevMode::*field) {
    return {std::move(name), [field](const PlugInDevMode& r) { return Named(r.*field, r.*field ? "yes" : "no"); },
            Choice(2, 0, [field](PlugInDevMode& r, uint8_t v) { r.*field = v; })};
}

void AddEventFields(std::vector<Field>& fields) {
    static constexpr std::pair<DocumentEvent, std::string_view> kEvents[] = {
        {DocumentEvent::kStartOfDocument, "startOfDocument"},
        {DocumentEvent::kStartOfPage, "startOfPage"},
        {DocumentEvent::kEndOfDocument, "endOfDocument"},
        {DocumentEvent::kEndOfPage, "endOfPage"},
    };
    for (const auto& [event, blockName] : kEvents) {
        const std::string prefix = std::string(blockName) + ".";
        const DocumentEvent e = event;
        const auto ops = [e](const PlugInDevMode& r) { return LoadEventOperations(r, e).operations; };
        // Changes one field of the block through the working copy, as the event dialog's OK does.
        const auto edit = [e](PlugInDevMode& r, const std::function<void(EventOperations&)>& change) {
            OperationsWorkingCopy copy = LoadEventOperations(r, e);
            change(copy.operations);
            StoreEventOperations(r, copy);
        };
        const auto byteList = [&](std::string name, uint8_t EventOperations::*field, unsigned entries,
                                  std::function<std::string(uint8_t)> words) {
            fields.push_back({prefix + name,
                              [ops, field, words](const PlugInDevMode& r) {
                                  const uint8_t v = ops(r).*field;
                                  return Named(v, words(v));
                              },
                              Choice(entries, 0, [edit, field](PlugInDevMode& r, uint8_t v) {
                                  edit(r, [&](EventOperations& o) { o.*field = v; });
                              })});
        };
        const auto listText = [](TextId first, unsigned entries) {
            return [first, entries](uint8_t v) { return v < entries ? ListText(first, v) : std::string(); };
        };
        const auto yesNo = [](uint8_t v) { return std::string(v ? "yes" : "no"); };
        byteList("sendCommand", &EventOperations::sendCommand, 2, yesNo);
        byteList("feedToCutPosition", &EventOperations::feedToCutPosition, 2, yesNo);
        fields.push_back({prefix + "command",
                          [ops](const PlugInDevMode& r) {
                              const EventOperations o = ops(r);
                              const size_t length = std::min<size_t>(o.commandLength, kCommandCapacity);
                              std::string text = Utf8(FormatHexBytes({o.command.data(), length}));
                              if (!text.empty())
                                  text.pop_back();  // the formatter's space after the last byte
                              return "\"" + text + "\"";
                          },
                          [edit](PlugInDevMode& r, std::string_view text) -> SetResult {
                              if (text.find_first_not_of("0123456789abcdefABCDEF ") != std::string_view::npos)
                                  return {false, "takes hex byte text: hexadecimal digits and spaces"};
                              const auto bytes = ParseCommandText(Utf8ToUtf16(text));
                              if (!bytes)
                                  return {false, Utf8(KeyOf(TextId::MSG_MB_OPERATION_ERROR1).defaultText) +
                                                     " (at most " + std::to_string(kMaxCommandBytes) + " bytes)"};
                              edit(r, [&](EventOperations& o) {
                                  o.command.fill(0);
                                  std::copy(bytes->begin(), bytes->end(), o.command.begin());
                                  o.commandLength = static_cast<uint8_t>(bytes->size());
                              });
                              return {};
                          }});
        fields.push_back({prefix + "commandLength",
                          [ops](const PlugInDevMode& r) { return std::to_string(ops(r).commandLength); },
                          {}});
        byteList("cashDrawer", &EventOperations::cashDrawer, kCashDrawerChoices,
                 listText(TextId::DOCUMENT_RC_OPENDRAWER1, kCashDrawerChoices));
        byteList("paperCut", &EventOperations::paperCut, kPaperCutChoices,
                 listText(TextId::DOCUMENT_RC_PAPER_CUT1, kPaperCutChoices));
        fields.push_back({prefix + "feedDistance",
                          [ops](const PlugInDevMode& r) { return std::to_string(ops(r).feedDistance) + " mm"; },
                          Number([edit](PlugInDevMode& r, int32_t typed) {
                              const uint8_t v = ClampFeedDistance(typed);
                              edit(r, [&](EventOperations& o) { o.feedDistance = v; });
                              return v;
                          })});
        byteList("orderMessenger", &EventOperations::orderMessenger, kOrderMessengerChoices,
                 listText(TextId::DOCUMENT_RC_ORDERMESSENGER1, kOrderMessengerChoices));
        fields.push_back({prefix + "buzzerVolume",
                          [ops](const PlugInDevMode& r) { return std::to_string(ops(r).buzzerVolume); },
                          Number([edit](PlugInDevMode& r, int32_t typed) {
                              const uint8_t v = ClampBuzzerVolume(typed);
                              edit(r, [&](EventOperations& o) { o.buzzerVolume = v; });
                              return v;
                          })});
        fields.push_back({prefix + "drawerOrMessenger",
                          [ops](const PlugInDevMode& r) {
                              const uint32_t v = ops(r).drawerOrMessenger;
                              return Named(v, v == 0   ? ListText(TextId::DOCUMENT_RC_OPEN_DRAWER, 0)
                                              : v == 1 ? ListText(TextId::DOCUMENT_RC_ORDER_MESSENGER, 0)
                                                       : "");
                          },
                          Choice(2, 0, [edit](PlugInDevMode& r, uint8_t v) {
                              edit(r, [&](EventOperations& o) { o.drawerOrMessenger = v; });
                          })});
        byteList("buzzer", &EventOperations::buzzer, kBuzzerChoices,
                 listText(TextId::DOCUMENT_RC_OPERATION_BUZZER1, kBuzzerChoices));
        byteList("logo", &EventOperations::logo, kLogoChoices, [](uint8_t v) {
            return v == 0 ? std::string("none") : v < kLogoChoices ? "logo " + std::to_string(v) : std::string();
        });
        byteList("logoAlign", &EventOperations::logoAlign, 3, [](uint8_t v) {
            static constexpr std::string_view kAlign[] = {"left", "centred", "right"};
            return v < 3 ? std::string(kAlign[v]) : std::string();
        });
        byteList("logoPosition", &EventOperations::logoPosition, 2, [](uint8_t v) {
            return v < 2 ? ListText(v == 0 ? TextId::DOCUMENT_RC_BEFORE_CUT : TextId::DOCUMENT_RC_AFTER_CUT, 0)
                         : std::string();
        });
    }
}

// The two barcode pages' rules, under one set of names, so that one routine lists the fields
// of both kinds of font.
uint32_t NumberValue(const Barcode1DSettings& s, Barcode1DNumber n) {
    return Barcode1DNumberValue(s, n);
}
uint32_t NumberValue(const Barcode2DSettings& s, Barcode2DNumber n) {
    return Barcode2DNumberValue(s, n);
}
uint32_t StoreNumber(Barcode1DSettings& s, Barcode1DNumber n, int32_t typed) {
    return StoreBarcode1DNumber(s, n, typed);
}
uint32_t StoreNumber(Barcode2DSettings& s, Barcode2DNumber n, int32_t typed) {
    return StoreBarcode2DNumber(s, n, typed);
}
int Selection(const Barcode1DSettings& s, Barcode1DChoice c) {
    return Barcode1DChoiceSelection(s, c);
}
int Selection(const Barcode2DSettings& s, Barcode2DChoice c) {
    return Barcode2DChoiceSelection(s, c);
}
void StoreChoice(Barcode1DSettings& s, Barcode1DChoice c, int selection) {
    StoreBarcode1DChoice(s, c, selection);
}
void StoreChoice(Barcode2DSettings& s, Barcode2DChoice c, int selection) {
    StoreBarcode2DChoice(s, c, selection);
}

// A list of a barcode font's record: its field and the stored value of its first entry.
template <typename Settings, typename ChoiceId>
struct ChoiceRow {
    ChoiceId choice;
    std::string_view name;
    uint8_t Settings::*field;
    unsigned entries;
    unsigned first;
};

// The fields of each font of one kind, "barcode1D.3.elementHeight": lists first, then numbers,
// then what `derived` adds. `words` names a list's selected entry.
template <typename Settings, size_t Fonts, typename ChoiceId, typename NumberId>
void AddBarcodeFields(std::vector<Field>& fields,
                      std::string_view kind,
                      Settings (PlugInDevMode::*fonts)[Fonts],
                      std::span<const ChoiceRow<Settings, ChoiceId>> choices,
                      std::span<const std::pair<NumberId, std::string_view>> numbers,
                      std::string (*words)(ChoiceId, int selection),
                      void (*derived)(std::vector<Field>&, const std::string& prefix, size_t font) = nullptr) {
    for (size_t font = 0; font < Fonts; ++font) {
        const std::string prefix = std::string(kind) + "." + std::to_string(font) + ".";
        for (const auto& row : choices) {
            fields.push_back({prefix + std::string(row.name),
                              [=](const PlugInDevMode& r) {
                                  const Settings& s = (r.*fonts)[font];
                                  const int selection = Selection(s, row.choice);
                                  return Named(s.*row.field, selection < 0 ? "" : words(row.choice, selection));
                              },
                              Choice(row.entries, row.first, [=](PlugInDevMode& r, uint8_t v) {
                                  StoreChoice((r.*fonts)[font], row.choice, v - row.first);
                              })});
        }
        for (const auto& [number, name] : numbers) {
            const NumberId n = number;
            fields.push_back({prefix + std::string(name),
                              [=](const PlugInDevMode& r) { return std::to_string(NumberValue((r.*fonts)[font], n)); },
                              Number([=](PlugInDevMode& r, int32_t typed) -> int64_t {
                                  return StoreNumber((r.*fonts)[font], n, typed);
                              })});
        }
        if (derived)
            derived(fields, prefix, font);
    }
}

void AddBarcode1DFields(std::vector<Field>& fields) {
    static constexpr std::pair<Barcode1DNumber, std::string_view> kNumbers[] = {
        {Barcode1DNumber::kElementWidth, "elementWidth"},
        {Barcode1DNumber::kElementHeight, "elementHeight"},
        {Barcode1DNumber::kGs1ElementWidth, "gs1ElementWidth"},
        {Barcode1DNumber::kGs1RowHeight, "gs1RowHeight"},
        {Barcode1DNumber::kGs1CompositeRowHeight, "gs1CompositeRowHeight"},
        {Barcode1DNumber::kGs1SeparatorHeight, "gs1SeparatorHeight"},
    };
    using Row = ChoiceRow<Barcode1DSettings, Barcode1DChoice>;
    static constexpr Row kChoices[] = {
        {Barcode1DChoice::kType, "barcodeType", &Barcode1DSettings::barcodeType, kBarcode1DTypeCount, 0},
        {Barcode1DChoice::kHriPosition, "hriPosition", &Barcode1DSettings::hriPosition, 4, 0},
        {Barcode1DChoice::kHriFont, "hriFont", &Barcode1DSettings::hriFont, 2, 0},
        {Barcode1DChoice::kGs1HriContent, "gs1HriContent", &Barcode1DSettings::gs1HriContent, 4, 1},
        {Barcode1DChoice::kGs1AiMode, "gs1AiMode", &Barcode1DSettings::gs1AiMode, 2, 0},
    };
    AddBarcodeFields<Barcode1DSettings, kBarcode1DCount, Barcode1DChoice, Barcode1DNumber>(
        fields, "barcode1D", &PlugInDevMode::barcode1D, kChoices, kNumbers,
        [](Barcode1DChoice choice, int selection) -> std::string {
            switch (choice) {
                case Barcode1DChoice::kType:
                    return Utf8(kBarcode1DTypes[selection].listText);
                case Barcode1DChoice::kHriPosition:
                    return ListText(TextId::CODE1D_RC_STATIC_1DCODE_POSITION1, selection);
                case Barcode1DChoice::kHriFont:
                    return selection == 0 ? "Font A" : "Font B";
                case Barcode1DChoice::kGs1HriContent:
                    return ListText(TextId::CODE1D_RC_CMB_HRI1, selection);
                case Barcode1DChoice::kGs1AiMode:
                    return ListText(TextId::CODE1D_RC_CMB_AI1, selection);
            }
            return "";
        },
        // What the page derives from the numbers: shown, never set.
        [](std::vector<Field>& all, const std::string& prefix, size_t font) {
            all.push_back(
                {prefix + "scaledElementWidth",
                 [font](const PlugInDevMode& r) { return std::to_string(r.barcode1D[font].scaledElementWidth); },
                 {}});
            all.push_back(
                {prefix + "fontHeight",
                 [font](const PlugInDevMode& r) { return std::to_string(r.barcode1D[font].fontHeight) + " dots"; },
                 {}});
        });
}

void AddBarcode2DFields(std::vector<Field>& fields) {
    static constexpr std::pair<Barcode2DNumber, std::string_view> kNumbers[] = {
        {Barcode2DNumber::kPdf417ElementWidth, "pdf417ElementWidth"},
        {Barcode2DNumber::kPdf417ElementHeight, "pdf417ElementHeight"},
        {Barcode2DNumber::kPdf417Columns, "pdf417Columns"},
        {Barcode2DNumber::kPdf417Rows, "pdf417Rows"},
        {Barcode2DNumber::kGs1ElementWidth, "gs1ElementWidth"},
        {Barcode2DNumber::kGs1RowHeight, "gs1RowHeight"},
        {Barcode2DNumber::kGs1CompositeRowHeight, "gs1CompositeRowHeight"},
        {Barcode2DNumber::kGs1SeparatorHeight, "gs1SeparatorHeight"},
        {Barcode2DNumber::kGs1SegmentsPerRow, "gs1SegmentsPerRow"},
        {Barcode2DNumber::kQrElementWidth, "qrElementWidth"},
    };
    using Row = ChoiceRow<Barcode2DSettings, Barcode2DChoice>;
    static constexpr Row kChoices[] = {
        {Barcode2DChoice::kType, "barcodeType", &Barcode2DSettings::barcodeType, kBarcode2DTypeCount, 0},
        {Barcode2DChoice::kPdf417ErrorCorrection, "pdf417ErrorCorrection", &Barcode2DSettings::pdf417ErrorCorrection, 9,
         0},
        {Barcode2DChoice::kGs1HriContent, "gs1HriContent", &Barcode2DSettings::gs1HriContent, 4, 1},
        {Barcode2DChoice::kGs1AiMode, "gs1AiMode", &Barcode2DSettings::gs1AiMode, 2, 0},
        {Barcode2DChoice::kQrLanguageMode, "qrLanguageMode", &Barcode2DSettings::qrLanguageMode, 2, 0},
        {Barcode2DChoice::kQrModel, "qrModel", &Barcode2DSettings::qrModel, 2, 1},
        {Barcode2DChoice::kQrErrorCorrection, "qrErrorCorrection", &Barcode2DSettings::qrErrorCorrection, 4, 0},
    };
    AddBarcodeFields<Barcode2DSettings, kBarcode2DCount, Barcode2DChoice, Barcode2DNumber>(
        fields, "barcode2D", &PlugInDevMode::barcode2D, kChoices, kNumbers,
        [](Barcode2DChoice choice, int selection) -> std::string {
            switch (choice) {
                case Barcode2DChoice::kType:
                    return Utf8(kBarcode2DTypes[selection].listText);
                case Barcode2DChoice::kPdf417ErrorCorrection:
                    return ListText(TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR1, selection);
                case Barcode2DChoice::kGs1HriContent:
                    return ListText(TextId::CODE1D_RC_CMB_HRI1, selection);
                case Barcode2DChoice::kGs1AiMode:
                    return ListText(TextId::CODE1D_RC_CMB_AI1, selection);
                case Barcode2DChoice::kQrLanguageMode:
                    return ListText(TextId::CODE2D_RC_CMB_FONTMODE1, selection);
                case Barcode2DChoice::kQrModel:
                    return "model " + Utf8(kQrModelTexts[selection]);
                case Barcode2DChoice::kQrErrorCorrection:
                    return Utf8(kQrErrorCorrectionTexts[selection]);
            }
            return "";
        });
}

// The three watermark sliders are stored together; one of them changed.
template <int WatermarkSliders::*Slider>
int64_t StoreSlider(PlugInDevMode& r, int32_t typed) {
    WatermarkSliders sliders{static_cast<int>(r.watermarkAngle), r.watermarkSize, r.watermarkBrightness};
    sliders.*Slider = typed;
    return StoreWatermarkSliders(r, sliders).*Slider;
}

void AddDocumentFields(std::vector<Field>& fields) {
    const auto show = [](auto PlugInDevMode::*field) {
        return [field](const PlugInDevMode& r) { return std::to_string(r.*field); };
    };
    fields.push_back({"reservedValue", show(&PlugInDevMode::reservedValue), {}});
    fields.push_back({"reservedFlag", show(&PlugInDevMode::reservedFlag), {}});
    fields.push_back(Flag("printTextAsImage", &PlugInDevMode::printTextAsImage));
    fields.push_back(TextField("watermarkBitmapPath", &PlugInDevMode::watermarkBitmapPath));
    fields.push_back({"watermarkType",
                      [](const PlugInDevMode& r) {
                          static constexpr std::string_view kTypes[] = {"none", "image", "text"};
                          return Named(r.watermarkType,
                                       r.watermarkType < 3 ? std::string(kTypes[r.watermarkType]) : "");
                      },
                      Choice(3, 0, [](PlugInDevMode& r, uint8_t v) { r.watermarkType = v; })});
    fields.push_back(TextField("watermarkText", &PlugInDevMode::watermarkText));
    fields.push_back(TextField("watermarkFontName", &PlugInDevMode::watermarkFontName));
    fields.push_back({"watermarkFontSize", show(&PlugInDevMode::watermarkFontSize),
                      Number([](PlugInDevMode& r, int32_t typed) -> int64_t {
                          r.watermarkFontSize =
                              static_cast<uint8_t>(ClampWatermarkFontSize(typed, FontSizeStage::FocusLeft).value);
                          return r.watermarkFontSize;
                      })});
    fields.push_back({"watermarkFontStyle",
                      [](const PlugInDevMode& r) {
                          const uint8_t v = r.watermarkFontStyle;
                          return Named(v, v < 4 ? ListText(TextId::WATERMARK_RC_STATIC_WATERMARK_FONTSTYLE1, v) : "");
                      },
                      Choice(4, 0, [](PlugInDevMode& r, uint8_t v) { r.watermarkFontStyle = v; })});
    fields.push_back(
        {"watermarkAngle", show(&PlugInDevMode::watermarkAngle), Number(StoreSlider<&WatermarkSliders::angle>)});
    fields.push_back(
        {"watermarkPosition",
         [](const PlugInDevMode& r) {
             const uint8_t v = r.watermarkPosition;
             return Named(v, v < 10 ? ListText(TextId::WATERMARK_RC_STATIC_WATERMARK_POSITION1, v) : "");
         },
         [](PlugInDevMode& r, std::string_view text) -> SetResult {
             const auto typed = Typed(text);
             if (!typed)
                 return NotANumber(text);
             if (auto refused = OutsideList(*typed, 10))
                 return *refused;
             if (SelectWatermarkPosition(r, *typed))
                 return {true, "watermarkSize is raised to " + std::to_string(r.watermarkSize) + " for tiling"};
             return {};
         }});
    fields.push_back(
        {"watermarkSize", show(&PlugInDevMode::watermarkSize), Number(StoreSlider<&WatermarkSliders::size>)});
    fields.push_back({"watermarkBrightness", show(&PlugInDevMode::watermarkBrightness),
                      Number(StoreSlider<&WatermarkSliders::brightness>)});
    fields.push_back({"zoomPercent", [](const PlugInDevMode& r) { return std::to_string(r.zoomPercent) + " %"; },
                      Number([](PlugInDevMode& r, int32_t typed) -> int64_t {
                          r.zoomPercent = static_cast<uint8_t>(ClampZoomPercent(typed).value);
                          return r.zoomPercent;
                      })});
    fields.push_back(Flag("rotate180", &PlugInDevMode::rotate180));
    fields.push_back(TextField("paperSizeName", &PlugInDevMode::paperSizeName));
    fields.push_back(Flag("zoomPrinting", &PlugInDevMode::zoomPrinting));
    fields.push_back(Flag("recordDriverLog", &PlugInDevMode::recordDriverLog));
    fields.push_back(TextField("logDirectory", &PlugInDevMode::logDirectory));
    fields.push_back(Flag("logSavePrn", &PlugInDevMode::logSavePrn));
    fields.push_back(Flag("logSaveBmp", &PlugInDevMode::logSaveBmp));
    fields.push_back(Flag("logSaveJpeg", &PlugInDevMode::logSaveJpeg));
}

const std::vector<Field>& Fields() {
    static const std::vector<Field> fields = [] {
        std::vector<Field> all;
        all.push_back({"dwSize", [](const PlugInDevMode& r) { return std::to_string(r.dmExtraHeader.dwSize); }, {}});
        all.push_back(
            {"dwSignature", [](const PlugInDevMode& r) { return SignatureText(r.dmExtraHeader.dwSignature); }, {}});
        all.push_back(
            {"dwVersion", [](const PlugInDevMode& r) { return std::to_string(r.dmExtraHeader.dwVersion); }, {}});
        AddEventFields(all);
        AddBarcode1DFields(all);
        AddBarcode2DFields(all);
        AddDocumentFields(all);
        return all;
    }();
    return fields;
}

// What the host makes of the file: a record of this driver, or one replaced by defaults.
std::string Verdict(const LoadedRecord& loaded) {
    const uint32_t signature = SignatureOf(loaded.file);
    const std::string bytes = std::to_string(loaded.file.size()) + " bytes";
    if (loaded.foreign)
        return "not a record of this driver (signature " + SignatureText(signature) + ", " + bytes +
               "): the host replaces it by the defaults below";
    const uint32_t claimed = SizeOf(loaded.file);
    if (claimed == kDevModeSize && loaded.file.size() >= kDevModeSize)
        return "a record of this driver (signature " + SignatureText(signature) + ", " + bytes + ")";
    return "a record of this driver (signature " + SignatureText(signature) + ", " + bytes + ", dwSize " +
           std::to_string(claimed) + "): the bytes it holds are taken, the rest of the " +
           std::to_string(kDevModeSize) + " have their defaults";
}

}  // namespace

std::optional<PlugInDevMode> RecordForPages(std::string_view path, std::string& error) {
    const auto loaded = LoadRecord(path, MergeDevMode, error);
    if (!loaded)
        return std::nullopt;
    SayDefaultsUsed(path, *loaded);
    return loaded->record;
}

int RunDevModeDefault(const Args& args) {
    PlugInDevMode record{};
    DefaultDevMode(record, SystemDirectory());
    return WriteBinaryOutput(args, DevModeBytes(record));
}

int RunDevModeConvert(const Args& args) {
    return RunOnFile(args, ConvertDevMode);
}

int RunDevModeMerge(const Args& args) {
    return RunOnFile(args, MergeDevMode);
}

int RunDevModeShow(const Args& args) {
    std::string error;
    const auto loaded = LoadRecord(args.Operand(0), MergeDevMode, error);
    if (!loaded)
        return Refuse(error);
    std::printf("%s\n", Verdict(*loaded).c_str());
    for (const Field& field : Fields())
        std::printf("%s = %s\n", field.name.c_str(), field.show(loaded->record).c_str());
    return kExitOk;
}

int RunDevModeSet(const Args& args) {
    std::string error;
    auto loaded = LoadRecord(args.Operand(0), MergeDevMode, error);
    if (!loaded)
        return Refuse(error);
    SayDefaultsUsed(args.Operand(0), *loaded);
    for (size_t i = 1; i < args.OperandCount(); ++i) {
        const std::string_view change = args.Operand(i);
        const size_t equals = change.find('=');
        if (equals == std::string_view::npos)
            return Refuse("\"" + std::string(change) + "\" is not NAME=VALUE");
        const std::string_view name = change.substr(0, equals);
        const std::string_view value = change.substr(equals + 1);
        const Field* found = nullptr;
        for (const Field& field : Fields())
            if (field.name == name)
                found = &field;
        if (!found)
            return Refuse("no field is named \"" + std::string(name) + "\" (devmode show lists them)");
        if (!found->set)
            return Refuse(std::string(name) + " is not set by any page");
        const SetResult result = found->set(loaded->record, value);
        if (!result.stored)
            return Refuse(std::string(name) + ": " + result.note);
        if (!result.note.empty())
            std::fprintf(stderr, "m450tool: %s: %s\n", found->name.c_str(), result.note.c_str());
    }
    return WriteBinaryOutput(args, DevModeBytes(loaded->record));
}

}  // namespace m450::tool
