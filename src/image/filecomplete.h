#pragma once

#include <QByteArray>
#include <QString>

// Some of Qt's decoders accept a file that ends early and hand back an image whose missing part
// is grey or undefined. For those formats the file's structure is walked first: false when the
// file ends before its pixel data does. Formats whose decoders notice the end themselves pass.
bool imageFileComplete(const QString &fileName, const QByteArray &format);
