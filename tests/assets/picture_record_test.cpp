// SPDX-License-Identifier: MIT
// The stored records' framing, and the decoder's handling of damaged records.

#include "assets/scene_picture.h"
#include "assets/stored_pictures.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace velmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes storedCopy(PictureId id) {
    const auto record = storedPictureRecord(id);
    return Bytes(record.begin(), record.end());
}

std::uint32_t u32At(std::span<const std::uint8_t> b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint16_t u16At(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

class StoredRecord : public testing::TestWithParam<PictureId> {};

TEST_P(StoredRecord, HasTheStoredFraming) {
    const auto r = storedPictureRecord(GetParam());
    ASSERT_EQ(r.size(), 124302u);
    EXPECT_EQ(u32At(r, 0), 124298u);     // record length
    EXPECT_EQ(u32At(r, 4), 0x0000746Cu); // 'l', 't', 0, 0
    EXPECT_EQ(r[4], 'l');
    EXPECT_EQ(r[5], 't');
    EXPECT_EQ(u32At(r, 8), 124290u); // image byte count
    EXPECT_EQ(r[12], 'B');
    EXPECT_EQ(r[13], 'M');
    EXPECT_EQ(u32At(r, 14), 124290u); // BMP file size
    EXPECT_EQ(u32At(r, 18), 0u);      // both reserved fields
    EXPECT_EQ(u32At(r, 22), 54u);     // pixel data offset
    EXPECT_EQ(u32At(r, 26), 40u);     // info header size
    EXPECT_EQ(u32At(r, 30), 203u);    // width
    EXPECT_EQ(u32At(r, 34), 203u);    // height, bottom-up
    EXPECT_EQ(u16At(r, 38), 1u);      // planes
    EXPECT_EQ(u16At(r, 40), 24u);     // bits per pixel
    EXPECT_EQ(u32At(r, 42), 0u);      // compression
    EXPECT_EQ(u32At(r, 46), 124236u); // image size
    for (std::size_t at : {50u, 54u, 58u, 62u}) EXPECT_EQ(u32At(r, at), 0u) << "at " << at;
}

TEST_P(StoredRecord, RowPaddingIsZero) {
    const auto r = storedPictureRecord(GetParam());
    for (std::size_t row = 0; row < 203; ++row)
        for (std::size_t i = 609; i < 612; ++i) ASSERT_EQ(r[66 + row * 612 + i], 0) << "row " << row;
}

TEST_P(StoredRecord, DecodingIgnoresPaddingBytes) {
    Bytes record = storedCopy(GetParam());
    const ScenePicture clean = decodePictureRecord(record, "clean");
    for (std::size_t row = 0; row < 203; ++row)
        for (std::size_t i = 609; i < 612; ++i) record[66 + row * 612 + i] = 0xA5;
    const ScenePicture noisy = decodePictureRecord(record, "noisy");
    EXPECT_EQ(std::memcmp(clean.data(), noisy.data(), 203 * 203 * 3), 0);
}

INSTANTIATE_TEST_SUITE_P(AllPictures, StoredRecord, testing::ValuesIn(kAllPictures),
                         [](const auto& param) { return std::string(pictureName(param.param)); });

TEST(StoredRecord, FirstStoredRowIsTheBottomRowInBlueGreenRed) {
    // Paint the first stored row, pixel 10, pure blue in file order (B, G, R).
    Bytes record = storedCopy(PictureId::Products);
    record[66 + 30] = 255;
    record[66 + 31] = 0;
    record[66 + 32] = 0;
    const ScenePicture picture = decodePictureRecord(record, "products");
    EXPECT_EQ(picture.pixel(10, 202), (ScenePicture::Rgb{0, 0, 255}));
    EXPECT_EQ(picture.pixel(10, 0), (ScenePicture::Rgb{255, 255, 255}));
}

// A damaged record and the field the decoder must blame for it.
struct Damage {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* field;
};

void truncateTo(Bytes& b, std::size_t n) { b.resize(n); }

const Damage kDamages[] = {
    {"empty", [](Bytes& b) { truncateTo(b, 0); }, "record length"},
    {"three bytes", [](Bytes& b) { truncateTo(b, 3); }, "record length"},
    {"length too small", [](Bytes& b) { put32(b, 0, 124297); }, "record length"},
    {"length huge", [](Bytes& b) { put32(b, 0, 0xFFFFFFFF); }, "record length"},
    {"one byte too many", [](Bytes& b) { b.push_back(0); }, "record length"},
    {"wrong signature", [](Bytes& b) { b[7] = 1; }, "picture stream signature"},
    {"image byte count off", [](Bytes& b) { put32(b, 8, 124289); }, "image byte count"},
    {"not BM", [](Bytes& b) { b[13] = 'A'; }, "BMP file type"},
    {"file size off", [](Bytes& b) { put32(b, 14, 124291); }, "BMP file size"},
    {"pixel offset past a palette", [](Bytes& b) { put32(b, 22, 54 + 1024); }, "BMP pixel data offset"},
    {"core info header", [](Bytes& b) { put32(b, 26, 12); }, "BMP info header size"},
    {"v5 info header", [](Bytes& b) { put32(b, 26, 124); }, "BMP info header size"},
    {"width 0", [](Bytes& b) { put32(b, 30, 0); }, "BMP width"},
    {"width 204", [](Bytes& b) { put32(b, 30, 204); }, "BMP width"},
    {"width negative", [](Bytes& b) { put32(b, 30, static_cast<std::uint32_t>(-203)); }, "BMP width"},
    {"width huge", [](Bytes& b) { put32(b, 30, 0x7FFFFFFF); }, "BMP width"},
    {"height top-down", [](Bytes& b) { put32(b, 34, static_cast<std::uint32_t>(-203)); }, "BMP height"},
    {"height huge", [](Bytes& b) { put32(b, 34, 0x80000000); }, "BMP height"},
    {"height 202", [](Bytes& b) { put32(b, 34, 202); }, "BMP height"},
    {"two planes", [](Bytes& b) { put16(b, 38, 2); }, "BMP planes"},
    {"8 bits", [](Bytes& b) { put16(b, 40, 8); }, "BMP bit depth"},
    {"32 bits", [](Bytes& b) { put16(b, 40, 32); }, "BMP bit depth"},
    {"run-length coded", [](Bytes& b) { put32(b, 42, 1); }, "BMP compression"},
    {"bit fields", [](Bytes& b) { put32(b, 42, 3); }, "BMP compression"},
    {"image size 0", [](Bytes& b) { put32(b, 46, 0); }, "BMP image size"},
    {"image size off", [](Bytes& b) { put32(b, 46, 124237); }, "BMP image size"},
    {"pixels cut short", [](Bytes& b) { truncateTo(b, 1000); }, "BMP pixel data"},
    {"last byte missing", [](Bytes& b) { truncateTo(b, 124301); }, "BMP pixel data"},
};

class DamagedRecord : public testing::TestWithParam<Damage> {};

TEST_P(DamagedRecord, IsRefusedNamingTheField) {
    Bytes record = storedCopy(PictureId::Substrate);
    GetParam().damage(record);
    record.shrink_to_fit(); // any read past the end is then outside the allocation
    try {
        decodePictureRecord(record, "substrate");
        FAIL() << "accepted a record with " << GetParam().what;
    } catch (const PictureFormatError& e) {
        EXPECT_EQ(e.picture(), "substrate");
        EXPECT_EQ(e.field(), GetParam().field) << e.what();
        const std::string message = e.what();
        EXPECT_EQ(message.rfind("picture \"substrate\": ", 0), 0u) << message;
        EXPECT_NE(message.find(GetParam().field), std::string::npos) << message;
    }
}

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.what; }

INSTANTIATE_TEST_SUITE_P(Table, DamagedRecord, testing::ValuesIn(kDamages), [](const auto& param) {
    std::string name = param.param.what;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// Each header field, by its offset in the record; a record ending before or inside a field
// is blamed on that field.
struct FieldPlace {
    const char* field;
    std::size_t offset;
};
const FieldPlace kFieldPlaces[] = {
    {"record length", 0},         {"picture stream signature", 4},
    {"image byte count", 8},      {"BMP file type", 12},
    {"BMP file size", 14},        {"BMP pixel data offset", 22},
    {"BMP info header size", 26}, {"BMP width", 30},
    {"BMP height", 34},           {"BMP planes", 38},
    {"BMP bit depth", 40},        {"BMP compression", 42},
    {"BMP image size", 46},       {"BMP pixel data", 66},
};

TEST(DamagedRecord, TruncatedAtEachHeaderFieldNamesThatField) {
    const Bytes whole = storedCopy(PictureId::Enzyme);
    for (const FieldPlace& place : kFieldPlaces) {
        for (std::size_t keep : {place.offset, place.offset + 1}) {
            const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep));
            try {
                decodePictureRecord(cut, "enzyme");
                ADD_FAILURE() << "accepted a record cut to " << keep << " bytes";
            } catch (const PictureFormatError& e) {
                EXPECT_EQ(e.field(), place.field) << "cut to " << keep << " bytes: " << e.what();
            }
        }
    }
}

TEST(DamagedRecord, MessageStatesFoundAndExpectedValues) {
    Bytes record = storedCopy(PictureId::Enzyme);
    put16(record, 40, 8);
    try {
        decodePictureRecord(record, "enzyme");
        FAIL() << "accepted an 8-bit picture";
    } catch (const PictureFormatError& e) {
        EXPECT_STREQ(e.what(), "picture \"enzyme\": BMP bit depth is 8, expected 24");
    }
}

TEST(DamagedRecord, TopDownHeightIsExplained) {
    Bytes record = storedCopy(PictureId::Enzyme);
    put32(record, 34, static_cast<std::uint32_t>(-203));
    try {
        decodePictureRecord(record, "enzyme");
        FAIL() << "accepted a top-down picture";
    } catch (const PictureFormatError& e) {
        EXPECT_NE(std::string(e.what()).find("-203"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("top to bottom"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace velmora
