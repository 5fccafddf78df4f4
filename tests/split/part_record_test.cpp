// The record beside a part: written and read back, and refused when it is
// not one this program wrote.
#include "split/part_record.h"

#include <gtest/gtest.h>

#include <string>

TEST(PartRecord, WrittenAndReadBack) {
    PartRecord record;
    record.width = 640;
    record.height = 480;
    record.firstRow = 121;
    record.lastRow = 240;
    record.firstColumn = 1;
    record.lastColumn = 320;
    record.scene = "odd \"name\"\\with\tcontrols.pov";
    record.options = pixelOptionsText(640, 480, 3, false);
    record.checksum = partChecksum("sphere {}", record.options);
    EXPECT_EQ(record.options, "+W640 +H480 +A3 -shadows");

    const PartRecord back = parsePartRecord(partRecordJson(record));
    EXPECT_EQ(back.width, 640);
    EXPECT_EQ(back.height, 480);
    EXPECT_EQ(back.firstRow, 121);
    EXPECT_EQ(back.lastRow, 240);
    EXPECT_EQ(back.rows(), 120);
    EXPECT_EQ(back.columns(), 320);
    EXPECT_EQ(back.scene, record.scene);
    EXPECT_EQ(back.options, record.options);
    EXPECT_EQ(back.checksum, record.checksum);
}

TEST(PartRecord, ChecksumIsFnv1aOfTheSceneAZeroAndTheOptions) {
    // FNV-1a 64 of the single zero byte, worked by hand: the offset basis
    // xor 0, times the prime.
    EXPECT_EQ(partChecksum("", ""), "fnv1a64:af63bd4c8601b7df");
    EXPECT_NE(partChecksum("a", "b"), partChecksum("ab", ""));
    EXPECT_NE(partChecksum("scene", "+A1"), partChecksum("scene", "+A2"));
}

TEST(PartRecord, AnythingElseIsRefusedWithItsReason) {
    const std::string good = partRecordJson(PartRecord{64, 48, 1, 10, 1, 64, "s.pov", "+W64", "c"});
    const auto reason = [](const std::string& text) {
        try {
            parsePartRecord(text);
        } catch (const PartRecordError& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(reason(good), "accepted");
    EXPECT_EQ(reason(""), "not a record: '{' expected");
    EXPECT_EQ(reason(good + "x"), "text after the record");
    EXPECT_EQ(reason("{\"format\": \"raytracer-part/1\"}"), "no \"width\"");
    std::string text = good;
    text.replace(text.find("\"first_row\": 1"), 14, "\"first_row\": 11");
    EXPECT_EQ(reason(text), "\"last_row\" is out of range");
    text = good;
    text.replace(text.find("64,"), 3, "\"64\",");
    EXPECT_EQ(reason(text), "\"width\" is not a number");
    text = good;
    text.replace(text.find("48"), 2, "12345678901");
    EXPECT_EQ(reason(text), "not a record: a value is not a whole number");
    EXPECT_EQ(reason("{\"format\": \"\\q\"}"), "not a record: an unknown escape");
    EXPECT_EQ(reason("{\"format\": \"\\u00e9\"}"), "not a record: an escape beyond ASCII");
}
