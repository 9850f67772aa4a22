// The list file ujholdak.txt, read from disk the way the main window reads it.

#include "fakes.h"
#include "fuzzsupport.h"
#include "store/codepage.h"
#include "store/datafiles.h"

using namespace lunex;
using namespace lunex::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes = Bytes(data, size).toByteArray();
    const test::AppDir &dir = WriteDataFiles(bytes, {"ujholdak.txt"});
    test::FakeList list;
    FillNewMoonList(dir.path(), list);

    const QString text = DecodeAnsi(bytes);
    Check(EncodeAnsi(text) == bytes, "Windows-1250 round trip");
    // The entries are the text cut at each line end (CR, or CR LF), with no
    // extra empty entry after a final line end, each kept to its first
    // ListEntryLimit characters.
    QString expected = text;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    if (expected.endsWith(u'\r')) {
        expected.chop(1);
    }
    QStringList lines = bytes.isEmpty() ? QStringList() : expected.split(u'\r');
    for (QString &line : lines) {
        line.truncate(ListEntryLimit);
    }
    Check(list.entries == lines, "entries are the lines");
    Check(list.entries.size() == (bytes.isEmpty() ? 0 : expected.count(u'\r') + 1),
          "one entry a line");
    Check(list.selected == -1, "nothing selected");
    return 0;
}
