// PNG files (the style sheet's radio-button, check-box and arrow images, the
// program's own pictures) read by Qt's built-in PNG reader at once. A reader
// that guesses the format asks every image-format plugin whether it reads
// PNG before it tries its built-in reader, which loads each plugin (and
// libjpeg) on the first image: at start-up, before the window's first frame.
// This plugin claims the PNG suffix, so it is the one asked, and hands the
// reading to the built-in reader.
#define QT_STATICPLUGIN

#include <QImageIOPlugin>
#include <QImageReader>
#include <QScopeGuard>

namespace {

// Set while the built-in reader is being found: this plugin then claims
// nothing, or it would be asked again.
thread_local bool handingOver = false;

// What use makes of the built-in reader of the device's PNG image.
template <typename Use>
auto withBuiltInReader(QIODevice *device, Use use)
{
    QImageReader reader(device, "png");
    reader.setAutoDetectImageFormat(false);
    handingOver = true;
    const auto back = qScopeGuard([] { handingOver = false; });
    return use(reader);
}

class PngReadHandler : public QImageIOHandler
{
public:
    bool canRead() const override { return device() && device()->peek(8) == kSignature; }
    bool read(QImage *image) override
    {
        return withBuiltInReader(device(), [image](QImageReader &r) { return r.read(image); });
    }
    bool supportsOption(ImageOption option) const override { return option == Size; }
    QVariant option(ImageOption option) const override
    {
        if (option != Size || !device())
            return QVariant();
        // The size from the header, the device left where it was.
        const qint64 at = device()->pos();
        const QSize size = withBuiltInReader(device(), [](QImageReader &r) { return r.size(); });
        device()->seek(at);
        return size;
    }

    static const QByteArray kSignature;
};

const QByteArray PngReadHandler::kSignature("\x89PNG\r\n\x1a\n", 8);

} // namespace

class PngImagePlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "pngimageplugin.json")
public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        // Only what holds a PNG image: anything else (a file named .png that
        // holds another format) is left to Qt's own search.
        if (handingOver || (format != "png" && !format.isEmpty()))
            return {};
        if (!device)
            return format.isEmpty() ? Capabilities() : CanRead;
        return device->isReadable() && device->peek(8) == PngReadHandler::kSignature
                   ? CanRead
                   : Capabilities();
    }
    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new PngReadHandler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArray("png") : format);
        return handler;
    }
};

#include "pngimageplugin.moc"
