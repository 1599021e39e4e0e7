// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's picture for the printer and for an image file: the
// window as it now shows, without the controls that only serve the screen.
#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class QWidget;

// Renders the window's client area as it now shows, with the given children
// hidden while it is taken; each is shown again afterwards if it was shown.
QImage imageWithout(QWidget* window, const std::vector<QWidget*>& hidden);

// The image on the printer at its natural size (as large on paper as on the
// screen), at the page's top-left corner. False when the printer could not
// be opened or the page not finished.
bool printImage(const QImage& image, QPrinter& printer);

// Saves the image as PDF (one page of the image's natural size) when the
// name ends in ".pdf", in any case, otherwise as PNG. The file is replaced
// only once it is complete; on failure the reason is put in error.
bool saveImage(const QImage& image, const QString& fileName, QString* error = nullptr);

// "Guardar imagen": asks for a PNG or PDF file name and saves the image,
// telling the user when it cannot.
void askAndSaveImage(QWidget* parent, const QImage& image);

// The printer to print on: the system's default one, or null when none is
// installed. Tests replace it (a PDF printer) and put it back with nullptr.
using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;
std::unique_ptr<QPrinter> defaultPrinter();
void setPrinterSource(PrinterSource source);
