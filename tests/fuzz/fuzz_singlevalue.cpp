// The single-value files: whatever ujhold.txt or utolso.txt holds loads into
// its field unchanged, saves back byte for byte, and the evaluation's
// conversion copes with it.

#include "fakes.h"
#include "fuzzsupport.h"
#include "store/codepage.h"
#include "store/datafiles.h"
#include "texts/datetext.h"

using namespace lunex;
using namespace lunex::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes = Bytes(data, size).toByteArray();
    const test::AppDir &dir = WriteDataFiles(bytes, {"ujhold.txt", "utolso.txt"});
    test::FakeFields fields;
    test::FakeMessenger messages;

    LoadNewMoon(dir.path(), fields, messages);
    Check(LoadObservation(dir.path(), fields, messages), "observation loads");
    Check(messages.shown.isEmpty(), "no message on load");
    Check(fields.newMoon == DecodeAnsi(bytes) && fields.observation == fields.newMoon,
          "loaded verbatim");

    ParseDateTimeText(fields.newMoon, QLocale(QLocale::Hungarian, QLocale::Hungary),
                      QTimeZone::utc());
    ParseDateTimeText(fields.newMoon, QLocale::c(), QTimeZone::utc());

    Check(SaveNewMoon(dir.path(), fields, messages), "new moon saves");
    Check(dir.read("ujhold.txt") == bytes + "\r\n", "saved byte for byte");
    const bool blank = fields.observation.count(u' ') == fields.observation.size();
    Check(SaveObservation(dir.path(), fields, messages) == !blank, "blank observation refused");
    Check(dir.read("utolso.txt") == (blank ? bytes : bytes + "\r\n"), "observation kept or saved");
    return 0;
}
