#pragma once
// Icons of the program are SVG drawings in the resources; they are rendered
// at the sizes the toolbar asks for.

#include <QIcon>
#include <QString>

QIcon SvgIcon(const QString& resourcePath);
