#pragma once
// Union-card look-ups: queries to the union-card web service shared by
// several libraries, and the URL encoding of request texts.
//
// Requests are GETs of g_strGeneralUrl + "/general/certsearch.php?strChr=" or
// "/general/redrsearch.php?strChr=" + the encoded request record (fields
// joined by character 31, ended by character 29). The reply record is the
// trimmed body up to its first character 29; field 1 is the status ("-1"
// failure, field 2 then the service's message).
//
// strGeneralCertSearch  the card's data fields (the reply without its first
//                       two fields), or "".
// strGeneralRedrSearch  kind 1 loans, 2 loan history, 3 debts: the whole
//                       reply record, or "".
// Both return "" at once when the transport is busy with another request.
// A "-1" status, and a request that gets no proper answer (no service
// address, no connection, time-out, an HTTP error), are shown as an error
// message and give "".
// strUrlEncode  percent-encodes the GBK bytes of a text: digits and ASCII
//               letters stay, a blank becomes "+", every other byte "%XX".

#include <QString>

namespace net { class HttpTransport; }

// Base address of the union-card service and this library's code there.
extern QString g_strGeneralUrl;
extern QString g_strGeneralCode;

// `transport` nullptr: the transport in force (net::HttpTransport::current()).
QString strGeneralCertSearch(const QString& certId, const QString& fieldName,
                             net::HttpTransport* transport = nullptr);
QString strGeneralRedrSearch(QString& certId, int kind, net::HttpTransport* transport = nullptr);
QString strUrlEncode(const QString& text);
