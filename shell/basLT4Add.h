#pragma once
// The mail options of the run: the SMTP settings of this user and the two
// text templates of the arrival notices. Loaded once, at the first log-in;
// the mail windows read and rewrite them.

#include <QString>

extern QString g_strSmtpAddress;  // SMTP server
extern QString g_strEmailAddress; // the library's own mailbox
extern short g_intSmtpAuth;       // 1: the server needs user name and password
extern QString g_strSmtpUser;
extern QString g_strSmtpPassword;
extern short g_intEmailBak;       // 1: each notice is also sent to the own mailbox
extern QString g_strEmailSign;    // the default signature
extern QString g_strEmailBody;    // the body template

// The settings "EmailOption" of the program, then the signature and body files
// "Lt/LT4_Email_Name.ini" and "Lt/LT4_Email_Body.ini" of the configuration
// folder. A missing file leaves its global as it was. Throws std::runtime_error
// when a flag key holds no number or a file cannot be read.
void subLoadEmailOption();

// The lock file held while the mail options (the two files and the settings)
// are saved or read, so a reader sees one save whole.
QString strEmailOptionLock();
