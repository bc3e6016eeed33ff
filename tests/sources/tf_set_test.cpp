#include "sources/tf_set.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sources/tf_format.h"

namespace tessarin {
namespace {

namespace tf = tf_format;

void ReadText(std::string_view content, TaTFSet& factors, RecordingSink& sink) {
  ReadTFLines(LineText(std::string(content)), factors, sink);
}

template <typename T>
std::string Join(const std::vector<T>& values) {
  std::string out;
  for (const T& value : values) {
    if (!out.empty()) out += ',';
    if constexpr (std::is_same_v<T, std::string>) {
      out += value;
    } else {
      out += std::to_string(value);
    }
  }
  return out;
}

// A compact, complete picture of a record, so that one string states the
// whole state a reading left behind.
std::string Dump(const TTFSet& f) {
  char color[16];
  std::snprintf(color, sizeof color, "%X", static_cast<unsigned>(f.Color));
  return "name=" + f.Name + " color=" + color +
         " type=" + std::to_string(f.MatchType) + " comment=" + f.Comment +
         " seqs=" + Join(f.SeqNames) + " pos=" + Join(f.Positions) +
         " labels=" + Join(f.Labels) + " sites=" + Join(f.Sites) +
         " lengths=" + Join(f.Lengths);
}

constexpr std::string_view kThreeFactors =
    "Binding sites for the example alignment\n"
    "[TF]\n"
    "Name = FactorA\n"
    "MatchType = direct\n"
    "[[TABLE]]\n"
    "#sequence position label site\n"
    "human 12 A1 TGACTCA\n"
    "mouse 10 A1 TGACTCA\n"
    "*\n"
    "[TF]\n"
    "Name = FactorB\n"
    "MatchType = case-sensitive\n"
    "[[TABLE]]\n"
    "human 30 B1 ggTATAAAag\n"
    "mouse 28 B1 gcTATAAAtg\n"
    "*\n"
    "[TF]\n"
    "Name = FactorC\n"
    "MatchType = length\n"
    "[[TABLE]]\n"
    "human 5 C1 8\n"
    "*\n";

TEST(ReadTFFileTest, ReadsThreeFactorExample) {
  TaTFSet factors;
  RecordingSink sink;
  ReadText(kThreeFactors, factors, sink);
  EXPECT_TRUE(sink.texts.empty());
  ASSERT_EQ(factors.size(), 3u);
  EXPECT_EQ(Dump(factors[0]),
            "name=FactorA color=FF0000 type=0 "
            "comment=#sequence position label site seqs=human,mouse "
            "pos=12,10 labels=A1,A1 sites=TGACTCA,TGACTCA lengths=");
  EXPECT_EQ(Dump(factors[1]),
            "name=FactorB color=FF00 type=1 comment= seqs=human,mouse "
            "pos=30,28 labels=B1,B1 sites=ggTATAAAag,gcTATAAAtg lengths=");
  EXPECT_EQ(Dump(factors[2]),
            "name=FactorC color=FF type=2 comment= seqs=human pos=5 "
            "labels=C1 sites= lengths=8");
}

TEST(ReadTFFileTest, LayoutVariantsReadAlike) {
  struct Case {
    const char* name;
    const char* content;
    const char* dump;
  };
  const Case cases[] = {
      {"header on first line, lower case, blanks and tabs around",
       " \t[tf]  \nName = A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\n*",
       "name=A color=FF0000 type=0 comment= seqs=h pos=1 labels=a sites=AC "
       "lengths="},
      {"values lose blanks, semicolons and tabs",
       "[TF]\nName = Fac A;\nMatchType =\tdir ect ;\n[[TABLE]]\nh 1 a AC\n*",
       "name=FacA color=FF0000 type=0 comment= seqs=h pos=1 labels=a sites=AC "
       "lengths="},
      {"keys may stand anywhere in a line",
       "[TF]\nx Name = A\n# MatchType = length\n[[TABLE]] here\nh 1 a 4\n*",
       "name=A color=FF0000 type=2 comment= seqs=h pos=1 labels=a sites= "
       "lengths=4"},
      {"tabs separate fields, extra columns are ignored",
       "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh\t\t7  a  AC GG x\n*",
       "name=A color=FF0000 type=0 comment= seqs=h pos=7 labels=a sites=AC "
       "lengths="},
      {"a short row repeats its last field",
       "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\nm 2 b\n*",
       "name=A color=FF0000 type=0 comment= seqs=h,m pos=1,2 labels=a,b "
       "sites=AC,b lengths="},
      {"last block without end marker runs to the end of the file",
       "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\nm 2 b CC",
       "name=A color=FF0000 type=0 comment= seqs=h,m pos=1,2 labels=a,b "
       "sites=AC,CC lengths="},
      {"positions keep the low 32 bits, hexadecimal allowed",
       "[TF]\nName = A\nMatchType = length\n[[TABLE]]\n"
       "h -1 a $10\nm 4294967297 b 0x0A\n*",
       "name=A color=FF0000 type=2 comment= seqs=h,m pos=4294967295,1 "
       "labels=a,b sites= lengths=16,10"},
      {"a row of 10000 fields builds only the columns used", nullptr,
       "name=A color=FF0000 type=0 comment= seqs=h pos=3 labels=a sites=AC "
       "lengths="},
  };
  std::string wide = "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh 3 a AC";
  for (int i = 0; i < 10000; ++i) wide += " f" + std::to_string(i);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TaTFSet factors;
    RecordingSink sink;
    ReadText(c.content != nullptr ? c.content : wide.c_str(), factors, sink);
    EXPECT_TRUE(sink.texts.empty());
    ASSERT_EQ(factors.size(), 1u);
    EXPECT_EQ(Dump(factors[0]), c.dump);
  }
}

TEST(ReadTFFileTest, KeysAreSearchedPastTheBlockEnd) {
  // The first block has no name or match type lines: it takes the next
  // block's ones.
  TaTFSet factors;
  RecordingSink sink;
  ReadText(
      "[TF]\n[[TABLE]]\nh 1 a 6\n*\n"
      "[TF]\nName = B\nMatchType = length\n[[TABLE]]\nm 2 b 5\n*\n",
      factors, sink);
  EXPECT_TRUE(sink.texts.empty());
  ASSERT_EQ(factors.size(), 2u);
  // Its own table is read, as lengths.
  EXPECT_EQ(Dump(factors[0]),
            "name=B color=FF0000 type=2 comment= seqs=h pos=1 labels=a sites= "
            "lengths=6");
}

// Each row: a file, the one message it gives, and the last record it leaves
// (read into an empty array, so no record is reused).
TEST(ReadTFFileTest, BadInputStopsWithItsMessage) {
  struct Case {
    const char* content;
    std::string_view message;
    const char* dump;  // nullptr: no record at all
  };
  const std::string unknown = std::string(tf::kUnknownMode) + "Direct";
  // The record after a stop that came after its name and match type.
  const char* const kNamed =
      "name=A color=0 type=0 comment= seqs= pos= labels= sites= lengths=";
  const Case cases[] = {
      {"", tf::kNoBlock, nullptr},
      {"Name = A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\n", tf::kNoBlock,
       nullptr},
      {"[TF] x\nName = A\n", tf::kNoBlock, nullptr},
      {"[TF]\nName=A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\n*",
       tf::kNameNotFound,
       "name= color=0 type=255 comment= seqs= pos= labels= sites= lengths="},
      {"[TF]\nName = A\nMatchtype = direct\n[[TABLE]]\nh 1 a AC\n*",
       tf::kMatchTypeNotFound,
       "name=A color=0 type=255 comment= seqs= pos= labels= sites= lengths="},
      {"[TF]\nName = A\nMatchType = Direct\n[[TABLE]]\nh 1 a AC\n*", unknown,
       "name=A color=0 type=255 comment= seqs= pos= labels= sites= lengths="},
      {"[TF]\nName = A\nMatchType = direct\n[[TABLE ]]\nh 1 a AC\n*",
       tf::kTableNotFound, kNamed},
      {"[TF]\nName = A\nMatchType = direct\n[[TABLE]]\n*\nh 1 a AC",
       tf::kNoTableData, kNamed},
      {"[TF]\nName = A\nMatchType = direct\n*\n[[TABLE]]\nh 1 a AC",
       tf::kNoTableData, kNamed},
      {"[TF]\nName = A\nMatchType = direct\n[[TABLE]]", tf::kNoTableData,
       kNamed},
      {"[TF]\nName = A\nMatchType = direct\n[[TABLE]]\n#  only\t a comment\n*",
       tf::kNoTableDataAfterComment,
       "name=A color=0 type=0 comment=# only a comment seqs= pos= labels= "
       "sites= lengths="},
      {"[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh 1 a\nm 2 b\n*",
       tf::kTooFewColumns, kNamed},
      {"[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh\n*",
       tf::kTooFewColumns, kNamed},
      {"[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\nm 2.0 b GG\n*",
       tf::kPositionConversion,
       "name=A color=0 type=0 comment= seqs=h,m pos=1,0 labels= sites= "
       "lengths="},
      {"[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\n\n*",
       tf::kPositionConversion,
       "name=A color=0 type=0 comment= seqs=h, pos=1,0 labels= sites= "
       "lengths="},
      {"[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\n"
       "[TF]\nName = B\nMatchType = direct\n[[TABLE]]\nm 2 b GG\n*",
       tf::kPositionConversion,
       "name=A color=0 type=0 comment= seqs=h,[TF],Name,MatchType,[[TABLE]],m "
       "pos=1,0,0,0,0,2 labels= sites= lengths="},
      {"[TF]\nName = A\nMatchType = length\n[[TABLE]]\nh 1 a 4\nm 2 b 4bp\n*",
       tf::kLengthConversion,
       "name=A color=0 type=2 comment= seqs=h,m pos=1,2 labels=a,b sites= "
       "lengths=4,0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    TaTFSet factors;
    RecordingSink sink;
    ReadText(c.content, factors, sink);
    EXPECT_EQ(sink.texts, std::vector<std::string>{std::string(c.message)});
    if (c.dump == nullptr) {
      EXPECT_TRUE(factors.empty());
      continue;
    }
    ASSERT_EQ(factors.size(), 1u);
    EXPECT_EQ(Dump(factors[0]), c.dump);
  }
}

// Each row: a file, the messages it gives and the colours of its factors,
// read into an array whose first record had a colour key of its own.
TEST(ReadTFFileTest, ColorKeyInTheBlockHeadSetsTheColour) {
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> messages;
    std::vector<std::uint32_t> colors;
  };
  const std::string bad = std::string(tf::kColorNotRgb);
  constexpr const char* kHead = "[TF]\nName = A\nMatchType = direct\n";
  constexpr const char* kTable = "[[TABLE]]\nh 1 a AC\n*\n";
  const auto block = [&](std::string_view color_line) {
    return std::string(kHead) + std::string(color_line) + kTable;
  };
  const std::string keyed = block("Color = #12ab3C\n");
  const std::string plain = block("");
  const std::string twice = keyed + plain + block("x Color = # 00 00 FF;\n");
  const Case cases[] = {
      {"red in the lowest byte; a block without the key keeps its place's",
       twice,
       {},
       {0x3CAB12, FactorColor(1), 0xFF0000}},
      {"no key: the old record's key does not stay", plain, {}, {0xFF0000}},
      {"a key after the block is no block's",
       plain + "Color = #00FF00\n",
       {},
       {0xFF0000}},
      {"a key in the table's comment line is no key",
       std::string(kHead) + "[[TABLE]]\n# Color = #00FF00\nh 1 a AC\n*\n",
       {},
       {0xFF0000}},
      {"the first key of the head counts",
       block("Color = #000001\nColor = #000002\n"),
       {},
       {0x010000}},
      {"five digits",
       block("Color = #12345\n"),
       {"t.tf:4: " + bad + "#12345"},
       {0xFF0000}},
      {"not hexadecimal, signed, no mark, too long, empty",
       block("Color = #GG0000\n") + block("Color = #-12345\n") +
           block("Color = 123456\n") + block("Color = #1234567\n") +
           block("Color =\n"),
       {"t.tf:4: " + bad + "#GG0000", "t.tf:11: " + bad + "#-12345",
        "t.tf:18: " + bad + "123456", "t.tf:25: " + bad + "#1234567",
        "t.tf:32: " + bad},
       {FactorColor(0), FactorColor(1), FactorColor(2), FactorColor(3),
        FactorColor(4)}},
      {"lines counted as the file has them: mark dropped, CR LF, lone CR",
       "\xEF\xBB\xBF[TF]\r\nName = A\r\rMatchType = direct\r\n"
       "Color = red\n[[TABLE]]\nh 1 a AC\n*\n",
       {"t.tf:5: " + bad + "red"},
       {0xFF0000}},
      {"a bad key, then a failing block: both reported, nothing coloured",
       block("Color = blue\n") + "[TF]\nName = B\n*\n",
       {"t.tf:4: " + bad + "blue", std::string(tf::kMatchTypeNotFound)},
       {0xABCDEF, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTFSet old;
    old.ColorKey = 0xABCDEF;
    old.Color = 0xABCDEF;
    TaTFSet factors = {old};
    RecordingSink sink;
    ReadTFLines(LineText(std::string(c.content)), factors, sink, "t.tf");
    EXPECT_EQ(sink.texts, c.messages);
    std::vector<std::uint32_t> colors;
    for (const TTFSet& factor : factors) colors.push_back(factor.Color);
    EXPECT_EQ(colors, c.colors);
  }
}

TTFSet Filled(const char* name) {
  TTFSet f;
  f.Name = name;
  f.Color = 0x123456;
  f.MatchType = kMatchLength;
  f.Comment = "#old";
  f.SeqNames = {"old"};
  f.Positions = {9};
  f.Labels = {"L"};
  f.Sites = {"OLD"};
  f.Lengths = {7};
  return f;
}

TEST(ReadTFFileTest, FirstRecordIsReusedAndLaterOnesStartEmpty) {
  TaTFSet factors = {Filled("X"), Filled("Y"), Filled("Z")};
  RecordingSink sink;
  // The first block fails before setting anything; the array is cut to the
  // record it reuses, which keeps everything, its colour included.
  ReadText("[TF]\n*\n", factors, sink);
  EXPECT_EQ(sink.texts,
            std::vector<std::string>{std::string(tf::kNameNotFound)});
  ASSERT_EQ(factors.size(), 1u);
  EXPECT_EQ(Dump(factors[0]), Dump(Filled("X")));

  factors = {Filled("X"), Filled("Y")};
  sink.texts.clear();
  ReadText(
      "[TF]\nName = A\nMatchType = direct\n[[TABLE]]\nh 1 a AC\n*\n"
      "[TF]\nName = B\n*\nMatchType = direct\n",
      factors, sink);
  EXPECT_EQ(sink.texts,
            std::vector<std::string>{std::string(tf::kTableNotFound)});
  ASSERT_EQ(factors.size(), 2u);
  // Record 0 is overwritten where this reading reached it; its lengths are
  // not a column of a direct factor and stay. No colour is assigned.
  EXPECT_EQ(Dump(factors[0]),
            "name=A color=123456 type=0 comment= seqs=h pos=1 labels=a "
            "sites=AC lengths=7");
  EXPECT_EQ(Dump(factors[1]),
            "name=B color=0 type=0 comment= seqs= pos= labels= sites= "
            "lengths=");
}

TEST(ReadTFFileTest, FileWithoutBlockKeepsEarlierFactors) {
  TaTFSet factors;
  RecordingSink sink;
  ReadText(kThreeFactors, factors, sink);
  const TaTFSet before = factors;
  ReadText("no blocks here\n", factors, sink);
  EXPECT_EQ(sink.texts, std::vector<std::string>{std::string(tf::kNoBlock)});
  ASSERT_EQ(factors.size(), before.size());
  for (std::size_t i = 0; i < factors.size(); ++i) {
    EXPECT_EQ(Dump(factors[i]), Dump(before[i]));
  }
}

TEST(FactorColorTest, BaseColoursThenShiftedBytesWrappingIn32Bits) {
  const std::uint32_t expected[] = {
      0xFF0000,   0x00FF00,   0x0000FF,   0xFFFF00,   0xFF00FF,   0x00FFFF,
      0xFFFF0000, 0xF0FF0000, 0x00FF00FF, 0x00FF0FF0, 0x00FFFF00, 0x010EF000,
      0x01FE0000, 0x10EF0000, 0xFFFF0000, 0xF0FF0000, 0x00FF00FF};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(FactorColor(i), expected[i]) << "factor " << i;
  }
  EXPECT_EQ(FactorColor(1000006), FactorColor(6));
}

TEST(ReadTFFileTest, ManyBlocksMissingAKeyReadInLinearTime) {
  // Every block but the last lacks its name line, so each takes the name
  // from the end of the file. Searching from each header anew would scan
  // the rest of the file once per block.
  std::string content;
  constexpr int kBlocks = 20000;
  for (int i = 0; i < kBlocks; ++i) {
    content += "[TF]\nMatchType = direct\n[[TABLE]]\nh 1 a AC\n*\n";
  }
  content += "[TF]\nName = Last\nMatchType = direct\n[[TABLE]]\nh 1 a AC\n*\n";
  TaTFSet factors;
  RecordingSink sink;
  ReadText(content, factors, sink);
  EXPECT_TRUE(sink.texts.empty());
  ASSERT_EQ(factors.size(), kBlocks + 1u);
  EXPECT_EQ(factors[0].Name, "Last");
  EXPECT_EQ(factors[kBlocks / 2].Name, "Last");
}

TEST(ReadTFFileTest, HostileInputGivesAtMostOneMessage) {
  std::mt19937 random(20240611);
  const std::vector<std::string> pieces = {
      "[TF]",         "[tf]",   "*",      "Name = ",
      "MatchType = ", "direct", "length", "case-sensitive",
      "[[TABLE]]",    "#",      "h",      "-1",
      "12",           "ACGT",   " ",      "\t",
      "\n",           "\r",     "\x1a",   std::string(1, '\0'),
      "\xff",         ";"};
  for (int round = 0; round < 3000; ++round) {
    std::string content;
    const int length = static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) {
      if (round % 2 == 0) {
        content += static_cast<char>(random() % 256);
      } else {
        content += pieces[random() % pieces.size()];
      }
    }
    TaTFSet factors;
    RecordingSink sink;
    ReadText(content, factors, sink);
    ASSERT_LE(sink.texts.size(), 1u) << content;
    if (!sink.texts.empty()) continue;
    // A clean reading coloured every record and filled parallel columns.
    for (std::size_t i = 0; i < factors.size(); ++i) {
      const TTFSet& f = factors[i];
      ASSERT_EQ(f.Color, FactorColor(i));
      ASSERT_EQ(f.Positions.size(), f.SeqNames.size());
      ASSERT_EQ(f.Labels.size(), f.SeqNames.size());
      ASSERT_EQ(f.MatchType == kMatchLength ? f.Lengths.size() : f.Sites.size(),
                f.SeqNames.size());
    }
  }
}

}  // namespace
}  // namespace tessarin
