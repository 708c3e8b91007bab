#include "platform/msg/CoreMessage.h"

#include <cstdio>

namespace {

int ReportToStderr(const QString& Text, const QString& Caption, unsigned)
{
    QString Line = Caption + QStringLiteral(": ") + Text;
    Line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    std::fprintf(stderr, "%s\n", Line.toLocal8Bit().constData());
    return 0;
}

TCoreMessageBox& Current()
{
    static TCoreMessageBox Box = ReportToStderr;
    return Box;
}

} // namespace

void SetCoreMessageBox(TCoreMessageBox Box)
{
    Current() = Box ? std::move(Box) : TCoreMessageBox(ReportToStderr);
}

int CoreMessageBox(const QString& Text, const QString& Caption, unsigned Flags)
{
    return Current()(Text, Caption, Flags);
}
