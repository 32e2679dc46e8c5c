#include "weblinks.h"

#include "buildconfig.h"

namespace weblinks {

QString address(const QString &path)
{
    return QStringLiteral(TARNEL_WEB_ADDRESS) + path;
}

} // namespace weblinks
