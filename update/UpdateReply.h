#pragma once
#include <QByteArray>
#include <QString>

// The server's update document and how its ten elements are found in it.
namespace tolvex::update {

// The ten elements; a field reads "Error" when its element was not found.
struct UpdateReply {
    QString Contact;
    QString Name;
    QString Version1;
    QString Version2;
    QString Download;
    QString History;
    QString KIssues;
    QString Index;
    QString Message;
    QString Uninstall;
    int ErrCount = 10; // elements not found
};

// The downloaded bytes as text: UTF-8 when they are valid UTF-8, else one character
// per byte (Latin-1).
QString pageText(const QByteArray &bytes);

// Finds each element by plain, case-sensitive search for the first "<Name>" and the
// first "</Name>": its text lies between the two. Nothing else of XML is read: a tag
// with attributes or in another letter case is missing, an entity stays as written.
// An element whose first closing tag comes before its first opening tag is missing too.
UpdateReply scanReply(const QString &page);

} // namespace tolvex::update
