#pragma once
// Update-note files: small XML files in one folder describing the changes of
// each release. A file counts when its first "properties" child holds the
// expected "数字签名" value and a non-empty "发布时间"; its "item" children
// (before or after the header) are the notes. Element and attribute names are
// matched by local name without regard to case; the property names and the
// signature exactly. Files are read in name order (without regard to case);
// sub-folders are not entered; a file that is not XML is skipped.

#include <QList>
#include <QString>

struct UpdateItem {
    QString ReleaseTime;
    QString FilePath;
    QString Catalog;
    QString Date;
    QString Subject;
    QString Descript;
    QString Level;
};

// One group of a grouped view: its key and the indexes (into the item list)
// of its items, in the order they are shown (the item read last first).
struct UpdateGroup {
    QString Key;
    QList<int> Items;
};

class UpdatingReader {
public:
    static constexpr int kMaxItems = 32767;

    // Removes one trailing separator from `folder` (the caller's variable) and
    // appends the items of every accepted file to `items`. True when the folder
    // was listed to its end; false for an empty folder text, a folder that
    // cannot be opened, or the item cap (the items before it stay).
    bool LoadUpdatings(QString& folder, const QString& strSignature, QList<UpdateItem>& items);

    // Reads one file; false when its header fails the signature rule.
    bool blnReadUpdateFile(const QString& path, QList<UpdateItem>& items);

    QString m_Signature;

private:
    bool overflow_ = false;
};

// Groups by release time (byCatalog false) or by category: groups in the
// order their keys are first met, items within a group in reverse order.
QList<UpdateGroup> groupUpdatings(const QList<UpdateItem>& items, bool byCatalog);
