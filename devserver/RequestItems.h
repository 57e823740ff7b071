#pragma once

#include "devserver/QueryItems.h"

#include <QString>

namespace quorvane {

// A request the server answers with a failure reply instead of carrying it out.
struct RequestRefused
{
    int code;
    QString message;
};

// Readers of the query items an operation needs. Each raises RequestRefused (code "bad request",
// with a message naming the item) when the item is missing, empty or malformed.
namespace RequestItems {

// A value the client sends in code page 936.
QString requiredAnsi(const QueryItems& items, const char* name);

// A value a form of the service's own pages sends in UTF-8.
QString requiredUtf8(const QueryItems& items, const char* name);

// A decimal 32-bit integer; `fallback` when the item is absent.
int optionalInt(const QueryItems& items, const char* name, int fallback);
int requiredInt(const QueryItems& items, const char* name);

// "format=xml", which every operation carries.
void requireXmlFormat(const QueryItems& items);

} // namespace RequestItems

} // namespace quorvane
