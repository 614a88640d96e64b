// The printer selection: the names block and its size rule, the 220-byte mode
// block, and the rules for loading, saving and applying them.
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/print/CalcPrinterSelection.h"

#include <QPrinter>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

using namespace CalcPrinterModeFields;

std::vector<std::uint16_t> Words(const QByteArray& block)
{
    std::vector<std::uint16_t> words;
    for (qsizetype i = 0; i + 1 < block.size(); i += 2)
        words.push_back(static_cast<std::uint16_t>(static_cast<unsigned char>(block[i]) |
                                                   static_cast<unsigned char>(block[i + 1]) << 8));
    return words;
}

TEST(NamesBlock, OffsetsFlagAndNamesInTheirOrder)
{
    const CalcPrinterNames names{QStringLiteral("CUPS"), QStringLiteral("pdf"), QStringLiteral("room 1"), true};
    const QByteArray block = NamesBlock(names);
    const std::vector<std::uint16_t> expected = {4,   9,   13,  1,                  // offsets, flag
                                                 'C', 'U', 'P', 'S', 0,             // driver at 4
                                                 'p', 'd', 'f', 0,                  // device at 9
                                                 'r', 'o', 'o', 'm', ' ', '1', 0};  // output at 13
    EXPECT_EQ(Words(block), expected);
    EXPECT_EQ(block.size(), 2 * (4 + 3 + 6) + 14);
}

TEST(NamesBlock, SizeIsTwiceTheNamesPlusFourteen)
{
    struct Row {
        CalcPrinterNames names;
    };
    const Row rows[] = {
        {{QStringLiteral("d"), QStringLiteral("e"), QStringLiteral("o"), false}},
        {{QStringLiteral("Generic CUPS-PDF Printer"), QStringLiteral("PDF"), QStringLiteral("cups-pdf:/"), false}},
        {{QStringLiteral("Ärger"), QStringLiteral("Drucker im Büro"), QStringLiteral("ipp://büro/"), true}},
        {{QString(), QString(), QString(), false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.names.Device.toStdString());
        const qsizetype length = row.names.Driver.size() + row.names.Device.size() + row.names.Output.size();
        EXPECT_EQ(NamesBlockSize(row.names), 2 * length + 14);
        EXPECT_EQ(NamesBlock(row.names).size(), NamesBlockSize(row.names));
        EXPECT_EQ(ReadNamesBlock(NamesBlock(row.names)), row.names) << "read back";
    }
}

TEST(NamesBlock, DamagedBlocksAreNotRead)
{
    const QByteArray good = NamesBlock({QStringLiteral("CUPS"), QStringLiteral("pdf"), QStringLiteral("o"), false});
    QByteArray unterminated = good;
    unterminated.chop(2);
    QByteArray offsetOutside = good;
    offsetOutside[2] = static_cast<char>(200);
    QByteArray offsetIntoHeader = good;
    offsetIntoHeader[0] = 1;
    const QByteArray rows[] = {QByteArray(), QByteArray(7, '\0'), unterminated, offsetOutside, offsetIntoHeader};
    for (const QByteArray& block : rows)
        EXPECT_FALSE(ReadNamesBlock(block)) << block.toHex().toStdString();
}

CalcPrinterMode SampleMode()
{
    CalcPrinterMode mode;
    mode.Device = QStringLiteral("office-laser");
    mode.Fields = Orientation | PaperSize | Copies | PrintQuality | Color | Duplex | Collate | FormName;
    mode.Orientation = 2;
    mode.PaperSize = 9;  // A4
    mode.Copies = 3;
    mode.PrintQuality = 600;
    mode.Color = 1;
    mode.Duplex = 2;
    mode.Collate = 1;
    mode.FormName = QStringLiteral("A4");
    return mode;
}

TEST(ModeBlock, Is220LittleEndianBytesThatReadBack)
{
    const CalcPrinterMode mode = SampleMode();
    const QByteArray block = ModeBlock(mode);
    ASSERT_EQ(block.size(), 220);
    EXPECT_EQ(static_cast<unsigned char>(block[68]) | static_cast<unsigned char>(block[69]) << 8, 220) << "its size";
    EXPECT_NE(static_cast<unsigned char>(block[73]) & 0x01, 0) << "the copies bit 0x100 of the field mask";
    EXPECT_EQ(static_cast<unsigned char>(block[86]), 3) << "copies at byte 86";
    EXPECT_EQ(block[0], 'o');
    EXPECT_EQ(ReadModeBlock(block), mode);
}

TEST(ModeBlock, LongNamesAreCutToTheirField)
{
    CalcPrinterMode mode = SampleMode();
    mode.Device = QString(40, u'q');
    const auto read = ReadModeBlock(ModeBlock(mode));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Device, QString(31, u'q'));
}

TEST(ModeBlock, OnlyExactly220BytesAreRead)
{
    for (const qsizetype size : {0, 219, 221, 1024})
        EXPECT_FALSE(ReadModeBlock(QByteArray(size, '\0'))) << size;
    EXPECT_TRUE(ReadModeBlock(QByteArray(220, '\0')));
}

TEST(ModeBlock, APrinterSettingsRoundTrip)
{
    QPrinter from;
    from.setOutputFormat(QPrinter::PdfFormat);
    from.setPageSize(QPageSize(QPageSize::Letter));
    from.setPageOrientation(QPageLayout::Landscape);
    from.setCopyCount(2);
    from.setColorMode(QPrinter::GrayScale);
    from.setCollateCopies(true);
    const CalcPrinterMode mode = ModeOf(from);
    EXPECT_EQ(mode.PaperSize, 1) << "Letter";
    EXPECT_EQ(mode.Orientation, 2);

    QPrinter to;
    to.setOutputFormat(QPrinter::PdfFormat);
    ApplyMode(*ReadModeBlock(ModeBlock(mode)), to);
    EXPECT_EQ(to.pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(to.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(to.copyCount(), 2);
    EXPECT_EQ(to.colorMode(), QPrinter::GrayScale);
    EXPECT_TRUE(to.collateCopies());

    QPrinter custom;
    custom.setOutputFormat(QPrinter::PdfFormat);
    custom.setPageSize(QPageSize(QSizeF(100, 150), QPageSize::Millimeter));
    const CalcPrinterMode customMode = ModeOf(custom);
    EXPECT_TRUE(customMode.Fields & PaperWidth);
    EXPECT_EQ(customMode.PaperWidth, 1000);
    EXPECT_EQ(customMode.PaperLength, 1500);
}

class PrinterSelectionStore : public ::testing::Test {
protected:
    void SetUp() override { Tevra::ProgramSettings().remove(QStringLiteral("Print")); }
    void TearDown() override { Tevra::ProgramSettings().remove(QStringLiteral("Print")); }

    static void Store(const char* key, const QVariant& value)
    {
        Tevra::ProgramSettings().setValue(QStringLiteral("Print/") + QLatin1String(key), value);
    }
    static void StoreNames(const char* device, const char* driver, const char* output)
    {
        Store("Device", QString::fromUtf8(device));
        Store("Driver", QString::fromUtf8(driver));
        Store("Output", QString::fromUtf8(output));
    }

    CalcPrinterSelection selection{[this](const QString& name) { return installed.contains(name); }};
    QStringList installed{QStringLiteral("office-laser")};

    void load()
    {
        QSettings store = Tevra::ProgramSettings();
        selection.load(store);
    }
};

TEST_F(PrinterSelectionStore, AllThreeNamesMakeTheNamesBlock)
{
    struct Row {
        const char* device;
        const char* driver;
        const char* output;
        bool block;
    };
    const Row rows[] = {
        {"office-laser", "CUPS", "room 1", true},
        {"office-laser", "CUPS", "", false},  // Device stored but Output empty
        {"", "CUPS", "room 1", false},
        {"office-laser", "", "room 1", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.device << '|' << row.driver << '|' << row.output);
        selection.clear();
        StoreNames(row.device, row.driver, row.output);
        load();
        EXPECT_EQ(selection.hasNames(), row.block);
    }
    selection.clear();
    StoreNames("office-laser", "CUPS", "room 1");
    Store("Default", 1);
    load();
    EXPECT_EQ(
        ReadNamesBlock(selection.namesBlock()),
        (CalcPrinterNames{QStringLiteral("CUPS"), QStringLiteral("office-laser"), QStringLiteral("room 1"), true}));
}

TEST_F(PrinterSelectionStore, AStoredModeIsTakenOnlyAt220BytesWithItsCopiesSetToOne)
{
    Store("Mode", ModeBlock(SampleMode()));
    load();
    ASSERT_TRUE(selection.hasMode());
    const auto mode = ReadModeBlock(selection.modeBlock());
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->Copies, 1) << "the copy count is 1 after loading";
    EXPECT_EQ(mode->PaperSize, 9) << "the rest is kept";

    CalcPrinterMode withoutCopies = SampleMode();
    withoutCopies.Fields &= ~Copies;
    selection.clear();
    Store("Mode", ModeBlock(withoutCopies));
    load();
    EXPECT_EQ(ReadModeBlock(selection.modeBlock())->Copies, 3) << "without the copies bit the count stays";

    for (const QVariant& damaged : {QVariant(ModeBlock(SampleMode()).left(219)), QVariant(QString(220, u'x'))}) {
        selection.clear();
        Store("Mode", damaged);
        load();
        EXPECT_FALSE(selection.hasMode());
    }
}

TEST_F(PrinterSelectionStore, LoadingHappensOnlyWhileNoSelectionExists)
{
    StoreNames("office-laser", "CUPS", "room 1");
    load();
    StoreNames("other", "CUPS", "room 2");
    load();
    EXPECT_EQ(ReadNamesBlock(selection.namesBlock())->Device, QStringLiteral("office-laser"));
}

TEST_F(PrinterSelectionStore, SavingWritesBothBlocksOnlyWhenBothExist)
{
    StoreNames("office-laser", "CUPS", "room 1");
    load();
    Tevra::ProgramSettings().remove(QStringLiteral("Print"));
    {
        QSettings store = Tevra::ProgramSettings();
        selection.save(store);
    }
    EXPECT_FALSE(Tevra::ProgramSettings().contains(QStringLiteral("Print/Device"))) << "no mode block: nothing";

    Store("Mode", ModeBlock(SampleMode()));
    load();  // the names exist already: nothing is read
    EXPECT_FALSE(selection.hasMode());

    selection.clear();
    StoreNames("office-laser", "CUPS", "room 1");
    Store("Default", 1);
    load();
    ASSERT_TRUE(selection.hasNames() && selection.hasMode());
    Tevra::ProgramSettings().remove(QStringLiteral("Print"));
    {
        QSettings store = Tevra::ProgramSettings();
        selection.save(store);
    }
    QSettings store = Tevra::ProgramSettings();
    EXPECT_EQ(store.value("Print/Device").toString(), QStringLiteral("office-laser"));
    EXPECT_EQ(store.value("Print/Driver").toString(), QStringLiteral("CUPS"));
    EXPECT_EQ(store.value("Print/Output").toString(), QStringLiteral("room 1"));
    EXPECT_EQ(store.value("Print/Default").toInt(), 1);
    EXPECT_EQ(store.value("Print/Mode").toByteArray().size(), 220);
}

TEST_F(PrinterSelectionStore, AQueueThatIsGoneOrAModeOfAnotherPrinterIsDropped)
{
    struct Row {
        const char* name;
        const char* device;      // of the names block; null for none
        const char* modeDevice;  // of the mode block; null for none
        bool kept;
    };
    const Row rows[] = {
        {"both fit", "office-laser", "office-laser", true},
        {"names alone", "office-laser", nullptr, true},
        {"queue gone", "removed-queue", "removed-queue", false},
        {"mode of another printer", "office-laser", "other", false},
        {"mode alone, queue gone", nullptr, "removed-queue", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Tevra::ProgramSettings().remove(QStringLiteral("Print"));
        selection.clear();
        if (row.device)
            StoreNames(row.device, "CUPS", "room");
        if (row.modeDevice) {
            CalcPrinterMode mode = SampleMode();
            mode.Device = QString::fromUtf8(row.modeDevice);
            Store("Mode", ModeBlock(mode));
        }
        load();
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        EXPECT_EQ(selection.applyTo(printer), row.kept);
        EXPECT_EQ(selection.hasNames() || selection.hasMode(), row.kept);
        if (row.kept && row.modeDevice) {
            EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape) << "the page settings are applied";
        }
    }
}

TEST_F(PrinterSelectionStore, NoSelectionLeavesThePrinterAlone)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    EXPECT_TRUE(selection.applyTo(printer));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
}

}  // namespace
