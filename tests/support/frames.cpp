#include "frames.h"

#include "protocol/frame.h"

QByteArray hexBytes(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

QByteArray withTrailer(const QByteArray &frameWithoutTrailer)
{
    QByteArray f = frameWithoutTrailer;
    Frame::appendTrailer(f);
    return f;
}

QByteArray withTrailer(const char *hex) { return withTrailer(hexBytes(hex)); }

QByteArray longAnswer(quint8 command, quint32 address, const QByteArray &data)
{
    const QByteArray block = Frame::block(data);
    return withTrailer(Frame::longRequest(command, address, quint16(block.size()), block));
}
