// The library's resource texts as Qt strings, for the windows and dialogs.
#pragma once

#include <QString>

namespace engine {

QString Res(int number);
QString Res(const char* key);

}  // namespace engine
