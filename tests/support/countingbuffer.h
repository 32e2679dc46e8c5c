#pragma once

#include <QBuffer>

#include <algorithm>

// Counts what a reader takes from the device, so that a test sees the cost of
// a load without timing it.
class CountingBuffer : public QBuffer
{
public:
    using QBuffer::QBuffer;
    qint64 bytesRead = 0;

protected:
    qint64 readData(char *data, qint64 size) override
    {
        const qint64 got = QBuffer::readData(data, size);
        bytesRead += std::max<qint64>(got, 0);
        return got;
    }
};
