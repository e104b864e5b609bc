#pragma once
// The addresses of the help web server and of the feedback web application:
// keys "HelpUrl" and "FeedbackUrl" of section "Server" in
// InfoCenter/setting.ini (scheme and host, optionally a path). An address is
// used only when it is an http or https one; it comes back without a
// trailing "/", or "" when none is set or it is unusable.

#include <QString>

QString strHelpServerUrl();
QString strFeedbackServerUrl();
