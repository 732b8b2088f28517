#pragma once

// An output file as the toolkit's writers see it: a sequential device whose bytes go through the
// output's temporary, so that the PDF, SVG and image writers fail and clean up like every other.
// Callers: the toolkit-backed devices (casq).

#include <QIODevice>

#include "platform/casq/outputfile.h"

namespace casq {

class OUTPUTDEVICE : public QIODevice {
public:
    // file: not owned; opened for writing at once.
    explicit OUTPUTDEVICE(OUTPUTFILE& file);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    OUTPUTFILE& file;
};

} // namespace casq
