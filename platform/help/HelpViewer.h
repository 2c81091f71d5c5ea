#pragma once
// The in-process help viewer: one parentless window, made on first use and reused for every
// request, that shows the pages of a compiled help file. Its pages, pictures and style sheets
// are read from the archive, so links inside the file work as they do in any HTML help viewer.

#include <QMainWindow>
#include <QTextBrowser>
#include <QUrl>

#include <memory>

#include "platform/help/ChmArchive.h"

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr) : QTextBrowser(parent) {}
    void SetArchive(const ChmArchive* archive) { archive_ = archive; }
    QVariant loadResource(int type, const QUrl& name) override;
    QUrl PageBeingShown() const { return page_; }

    // "chm:/page.htm#anchor": the address of a page inside the open archive.
    static QUrl PageUrl(const QString& page, const QString& anchor = {});

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    const ChmArchive* archive_ = nullptr;
    QUrl page_;   // pictures and style sheets of the page resolve against it
};

class HelpViewer : public QMainWindow {
    Q_OBJECT
public:
    static HelpViewer& Instance();   // created on first use
    static bool Exists();
    static void Destroy();

    // Opens the file when it is not the one open already, shows the page (the default topic when
    // the page is empty) and scrolls to the anchor. False when the file or the page is missing.
    bool Show(const QString& chmPath, const QString& page, const QString& anchor);

    HelpBrowser* Browser() const { return browser_; }
    QString CurrentPage() const;      // "/idh_main.htm"
    QString CurrentAnchor() const { return anchor_; }
    bool PageHasAnchor(const QString& anchor) const;

private:
    HelpViewer();
    bool OpenArchive(const QString& chmPath);
    void ShowProblem(const QString& text);
    void FollowLink(const QUrl& url);

    std::unique_ptr<ChmArchive> archive_;
    HelpBrowser* browser_ = nullptr;
    QString anchor_;
    bool archiveChanged_ = false;
};
