#include "platform/casq/qtoutput.h"

namespace casq {

OUTPUTDEVICE::OUTPUTDEVICE(OUTPUTFILE& output)
    : file(output)
{
    open(QIODevice::WriteOnly);
}

qint64 OUTPUTDEVICE::writeData(const char* data, qint64 size)
{
    return file.write(data, size_t(size)) ? size : -1;
}

} // namespace casq
