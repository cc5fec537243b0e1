#include "app/ui/ProgramIcon.h"

namespace orbet {

QIcon programIcon() {
    // The picture is built into the program, so no installed file is needed.
    static const QIcon icon(QStringLiteral(":/icons/orbet.svg"));
    return icon;
}

}  // namespace orbet
