// bench_listfile ENTRIES FILE: writes a list of new moons for bench/run.sh.

#include "benchlist.h"
#include "store/datafiles.h"
#include "store/fileio.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    bool ok = false;
    const int entries = args.value(1).toInt(&ok);
    if (args.size() != 3 || !ok || entries < 0) {
        qCritical("usage: bench_listfile ENTRIES FILE");
        return 2;
    }
    return lunex::WriteFileAtomically(args.at(2), lunex::ListFileBytes(lunex::bench::BenchListLines(
                                                      entries))) == lunex::FileProblem::None
               ? 0
               : 1;
}
