#include "main/common/ProductInfo.h"

QString ProductVersionText()
{
    return QStringLiteral("%1.%2.%3").arg(ProductVersionMajor).arg(ProductVersionMinor).arg(ProductVersionRelease);
}
