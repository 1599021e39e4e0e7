// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/plot_image.h"

#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QWidget>

#include "common/prompts.h"
#include "common/title.h"
#include "widgets/twips.h"

namespace {

PrinterSource& printerSource() {
    static PrinterSource source;
    return source;
}

// The screen's dots per inch on each axis, which the image was taken at.
double screenDpiX() {
    return 1440.0 / twipsPerPixelX();
}

double screenDpiY() {
    return 1440.0 / twipsPerPixelY();
}

// The image's rectangle on a device of the given resolution, at natural size.
QRectF naturalRect(const QImage& image, double deviceDpiX, double deviceDpiY) {
    return QRectF(0.0, 0.0, image.width() * deviceDpiX / screenDpiX(),
                  image.height() * deviceDpiY / screenDpiY());
}

bool writePng(const QImage& image, QSaveFile& file, QString* error) {
    QImageWriter writer(&file, "png");
    if (writer.write(image)) return true;
    if (error) *error = writer.errorString();
    return false;
}

bool writePdf(const QImage& image, QSaveFile& file, QString* error) {
    QPdfWriter pdf(&file);
    const double dpi = screenDpiX();
    pdf.setResolution(static_cast<int>(dpi));
    pdf.setPageSize(QPageSize(QSizeF(image.width() / dpi, image.height() / screenDpiY()),
                              QPageSize::Inch, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        if (error) *error = QStringLiteral("no se pudo crear el documento PDF");
        return false;
    }
    painter.drawImage(naturalRect(image, pdf.logicalDpiX(), pdf.logicalDpiY()), image);
    if (painter.end()) return true;
    if (error) *error = QStringLiteral("no se pudo terminar el documento PDF");
    return false;
}

}  // namespace

QImage imageWithout(QWidget* window, const std::vector<QWidget*>& hidden) {
    if (!window) return {};
    std::vector<QWidget*> shown;
    for (QWidget* w : hidden) {
        if (w && !w->isHidden()) {
            w->hide();
            shown.push_back(w);
        }
    }
    const QImage image = window->grab().toImage();
    for (QWidget* w : shown) w->show();
    return image;
}

bool printImage(const QImage& image, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.drawImage(naturalRect(image, printer.logicalDpiX(), printer.logicalDpiY()), image);
    return painter.end();
}

bool saveImage(const QImage& image, const QString& fileName, QString* error) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    const bool pdf = fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    if (!(pdf ? writePdf(image, file, error) : writePng(image, file, error))) {
        file.cancelWriting();
        return false;
    }
    if (file.commit()) return true;
    if (error) *error = file.errorString();
    return false;
}

std::unique_ptr<QPrinter> defaultPrinter() {
    if (const PrinterSource& source = printerSource()) return source();
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

void setPrinterSource(PrinterSource source) {
    printerSource() = std::move(source);
}

void askAndSaveImage(QWidget* parent, const QImage& image) {
    const FileDialogRequest request{FileDialogRequest::Save, QStringLiteral("Guardar imagen"),
                                    QStringLiteral("Imagen PNG|*.png|Documento PDF|*.pdf"),
                                    QStringLiteral("Registro.png")};
    // A name without an extension takes the chosen type's.
    const QString name = prompts::chooseFile(parent, request).name;
    if (name.isEmpty()) return;
    QString error;
    if (!saveImage(image, name, &error)) {
        prompts::message(
            parent, QMessageBox::Warning, appTitle(),
            QStringLiteral("No se pudo guardar la imagen en %1:\n%2").arg(name, error));
    }
}
