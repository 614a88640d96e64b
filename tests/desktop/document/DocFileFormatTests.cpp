// The document's file on its own, without a window: each encoding read and
// written back byte for byte, the question before hidden bytes are lost, the
// program's format for its own file names, and failures that keep the format.
#include "support/DocFakePrompts.h"
#include "support/Utf16Bytes.h"

#include "desktop/document/CCalcDocFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using Tevra::FileEncoding;
using Tevra::LineEnds;

const QByteArray Bom("\xFF\xFE", 2);

class DocFileFormat : public ::testing::Test {
protected:
    QString path(const char* name) const { return directory.filePath(QLatin1String(name)); }
    void write(const char* name, const QByteArray& bytes) const
    {
        QFile out(path(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(out.write(bytes), bytes.size());
    }
    QByteArray read(const char* name) const
    {
        QFile in(path(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    // The text to write, counting how often it is asked for.
    std::function<std::u16string()> text(std::u16string value)
    {
        return [this, value] {
            ++textsTaken;
            return value;
        };
    }

    QTemporaryDir directory;
    FakePrompts prompts;
    CCalcDocFile file{&prompts};
    int textsTaken = 0;
};

TEST_F(DocFileFormat, EachEncodingIsReadAndWrittenBackAsItWas)
{
    struct Row {
        const char* Label;
        QByteArray Bytes;
        std::u16string Text;
        FileEncoding Encoding;
        LineEnds Ends;
    };
    const Row rows[] = {
        {"program format, CR LF", Bom + Utf16("1;\r\n2"), u"1;\n2", FileEncoding::ProgramFormat, LineEnds::CrLf},
        {"program format, LF", Bom + Utf16("1;\n2\n"), u"1;\n2\n", FileEncoding::ProgramFormat, LineEnds::Lf},
        {"UTF-8, LF", "x=\xC3\xA9;\n", u"x=\u00E9;\n", FileEncoding::Utf8, LineEnds::Lf},
        {"UTF-8, CR LF", "x;\r\ny", u"x;\ny", FileEncoding::Utf8, LineEnds::CrLf},
        {"UTF-8 with its mark",
         "\xEF\xBB\xBF"
         "2^10\n",
         u"2^10\n", FileEncoding::Utf8WithMark, LineEnds::Lf},
        {"UTF-16 without its mark", Utf16("3*3;\r\n"), u"3*3;\n", FileEncoding::Utf16Le, LineEnds::CrLf},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Label);
        write("in.txt", row.Bytes);
        const std::optional<std::u16string> read = file.read(path("in.txt"));
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(*read, row.Text);
        EXPECT_EQ(file.encoding(), row.Encoding);
        EXPECT_EQ(file.lineEnds(), row.Ends);
        EXPECT_EQ(file.notice(), QString());

        write("in.txt", "overwritten");
        ASSERT_TRUE(file.write(path("in.txt"), text(*read)));
        EXPECT_EQ(this->read("in.txt"), row.Bytes);
        // Another name that is not the program's keeps the format too.
        ASSERT_TRUE(file.writeAs(path("copy.txt"), text(*read)));
        EXPECT_EQ(this->read("copy.txt"), row.Bytes);
    }
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_TRUE(prompts.warnings.isEmpty());
}

TEST_F(DocFileFormat, AProgramFileNameGetsTheProgramsFormat)
{
    write("notes.txt", "1;\n2");
    ASSERT_TRUE(file.read(path("notes.txt")).has_value());
    ASSERT_TRUE(file.writeAs(path("calc.vcl"), text(u"1;\n2")));
    EXPECT_EQ(read("calc.vcl"), Bom + Utf16("1;\r\n2"));
    EXPECT_EQ(file.encoding(), FileEncoding::ProgramFormat);
    EXPECT_EQ(file.lineEnds(), LineEnds::CrLf);
    // Save writes the format the file now has, whatever its name.
    ASSERT_TRUE(file.write(path("plain.txt"), text(u"3")));
    EXPECT_EQ(read("plain.txt"), Bom + Utf16("3"));
}

TEST_F(DocFileFormat, ResetGivesANewTextTheProgramsFormat)
{
    write("notes.txt", "a\nb");
    ASSERT_TRUE(file.read(path("notes.txt")).has_value());
    file.reset();
    EXPECT_EQ(file.encoding(), FileEncoding::ProgramFormat);
    EXPECT_EQ(file.lineEnds(), LineEnds::CrLf);
    ASSERT_TRUE(file.write(path("new.txt"), text(u"5\n6")));
    EXPECT_EQ(read("new.txt"), Bom + Utf16("5\r\n6"));
}

TEST_F(DocFileFormat, HiddenBytesAreLostOnlyAfterYes)
{
    const QByteArray bytes = Bom + Utf16("1+1") + "Z";
    write("data.vcl", bytes);
    ASSERT_EQ(file.read(path("data.vcl")).value_or(u"?"), u"1+1");
    EXPECT_EQ(file.hiddenBytes(), 1u);
    EXPECT_EQ(file.notice(), QStringLiteral("This file holds 1 byte after its text that the editor does not show"));

    prompts.confirmAnswer = false;
    EXPECT_FALSE(file.write(path("data.vcl"), text(u"1+1")));
    EXPECT_EQ(prompts.questions, QStringList{"This file holds 1 byte after its text that will be lost. Save anyway?"});
    EXPECT_EQ(textsTaken, 0) << "the text is taken only after a Yes";
    EXPECT_EQ(read("data.vcl"), bytes);
    EXPECT_EQ(file.hiddenBytes(), 1u);

    prompts.confirmAnswer = true;
    ASSERT_TRUE(file.write(path("data.vcl"), text(u"1+1")));
    EXPECT_EQ(textsTaken, 1);
    EXPECT_EQ(read("data.vcl"), Bom + Utf16("1+1"));
    EXPECT_EQ(file.hiddenBytes(), 0u);
    EXPECT_EQ(file.notice(), QString());
    ASSERT_TRUE(file.write(path("data.vcl"), text(u"1+1")));
    EXPECT_EQ(prompts.questions.size(), 2) << "nothing is left to lose";
}

TEST_F(DocFileFormat, WritingElsewhereAsksNothingAndKeepsTheFile)
{
    const QByteArray bytes = Bom + Utf16("7") + QByteArray(2, '\0') + Utf16("hidden");
    write("data.vcl", bytes);
    ASSERT_TRUE(file.read(path("data.vcl")).has_value());
    ASSERT_TRUE(file.writeAs(path("elsewhere.vcl"), text(u"7")));
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(read("data.vcl"), bytes);
    EXPECT_EQ(read("elsewhere.vcl"), Bom + Utf16("7"));
}

TEST_F(DocFileFormat, AFailedReadWarnsAndKeepsTheFormat)
{
    write("notes.txt", "1\n");
    ASSERT_TRUE(file.read(path("notes.txt")).has_value());
    EXPECT_FALSE(file.read(path("missing.vcl")).has_value());
    EXPECT_FALSE(file.read(directory.path()).has_value());
    EXPECT_EQ(prompts.warnings, (QStringList{"Cannot open the file for reading", "Cannot open the file for reading"}));
    EXPECT_EQ(file.encoding(), FileEncoding::Utf8);
    EXPECT_EQ(file.lineEnds(), LineEnds::Lf);
    ASSERT_TRUE(file.write(path("notes.txt"), text(u"2\n")));
    EXPECT_EQ(read("notes.txt"), QByteArray("2\n"));
}

TEST_F(DocFileFormat, AFailedWriteWarnsAndKeepsTheFileItWasReadFrom)
{
    const QByteArray bytes = Bom + Utf16("1") + "Z";
    write("data.vcl", bytes);
    ASSERT_TRUE(file.read(path("data.vcl")).has_value());
    EXPECT_FALSE(file.writeAs(path("no such folder/x.vcl"), text(u"1")));
    EXPECT_EQ(prompts.warnings, QStringList{"Cannot open the file for writing: No such file or directory"});
    // The hidden bytes still belong to the file that was read.
    prompts.confirmAnswer = false;
    EXPECT_FALSE(file.write(path("data.vcl"), text(u"1")));
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(read("data.vcl"), bytes);
}

}  // namespace
