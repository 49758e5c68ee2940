#include "platform/message_box.h"

#include <cstdio>

namespace grainlink {

void StderrMessageBox::show(const QString& title, const QString& text, MessageIcon /*icon*/)
{
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    std::fflush(stderr);
}

}  // namespace grainlink
