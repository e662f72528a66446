#pragma once

#include "doc/IRxDisplay.h"
#include "ui/CommandTarget.h"
#include "ui/RxPicture.h"

#include <QAbstractScrollArea>
#include <QSize>

#include <functional>
#include <memory>
#include <string>

class CSkrivelDoc;
class QPainter;
class QPrinter;

// The receive picture: every stored page is one band 60 pixels high, each column drawn twice
// (the lower copy one column to the right), painted straight from the document's receive store
// in the document's picture settings (see CRxPicture). The view registers itself as the
// document's receive display for its lifetime.
//
// Dragging along a slanted edge of the text (a baseline, say) sets the slant correction that
// straightens it.
//
// Commands: it handles print (ID_FILE_PRINT, with the print dialog), print without a dialog
// (ID_FILE_PRINT_DIRECT) and print preview (ID_FILE_PRINT_PREVIEW) on the printer set with
// SetPrinter, the one Print Setup configures; Print can also be called directly.
// Dropped files: one local file goes to the open-file handler, more than one shows a message.
class CSkrivelRxView : public QAbstractScrollArea, public IRxDisplay, public ICommandTarget
{
    Q_OBJECT

public:
    // Opens a file as receive data, the way File Load Rx Data does.
    using OpenFileHandler = std::function<void(const QString& strPath)>;
    // Shows a message box with an OK button.
    using MessageHandler = std::function<void(const QString& strText)>;
    // Takes a key typed while the picture has the focus that is meant for the text.
    using TypingHandler = std::function<void(const QKeyEvent& event)>;

    explicit CSkrivelRxView(CSkrivelDoc& doc, QWidget* pParent = nullptr);
    ~CSkrivelRxView() override;

    // Without a handler a dropped file is loaded straight into the document.
    void SetOpenFileHandler(OpenFileHandler handler) { m_OpenFileHandler = std::move(handler); }
    // Without a handler messages show in a QMessageBox titled "skrivel".
    void SetMessageHandler(MessageHandler handler) { m_MessageHandler = std::move(handler); }
    // Without a handler typed keys do nothing here.
    void SetTypingHandler(TypingHandler handler) { m_TypingHandler = std::move(handler); }
    // The printer the print commands use; without one the view keeps its own. Not owned.
    void SetPrinter(QPrinter* pPrinter) { m_pPrinter = pPrinter; }

    // Renders the whole picture scaled to the printer's page width, as many bands per sheet as
    // fit, never cutting a band. False when the printer cannot be started.
    bool Print(QPrinter& printer);

    // The scrollable size of the picture.
    QSize GetTotalSize() const;

    // File, Export Picture...: asks for a PNG file and writes the picture to it, as painted.
    void OnExportPicture();
    // Writes the whole picture, or the part in view, to a PNG file; 0 or the errno of the failure.
    int ExportPicture(const std::string& strPath, bool bInViewOnly);

    // IRxDisplay
    void PaintColumn(int nPage, int nColumn) override;
    void UpdateScrollSizes() override;
    void FollowEnd() override;
    void ScrollToEnd() override;
    void OnUpdate() override;

    // ICommandTarget
    bool OnCmdMsg(int nID, CCmdUI* pCmdUI) override;

signals:
    // The operator changed the picture settings here (by dragging along a slanted edge).
    void PictureSettingsChanged();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dragMoveEvent(QDragMoveEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

private:
    // The picture takes the document's colours and settings; true when its zoom or slant changed.
    bool TakeLook();
    // The scroll steps at the picture's zoom.
    void UpdateSteps();
    // The picture's point at the viewport's top left.
    QPoint GetOrigin() const;
    // Whether a window nViewportHeight high shows the end of the picture, or near enough.
    bool IsAtEnd(int nViewportHeight) const;
    // The rectangle of the line being dragged, in the viewport.
    QRect GetDragRect() const;
    QPrinter& GetPrinter();
    void PrintOrComplain(QPrinter& printer);
    void ShowMessage(const QString& strText);

    CSkrivelDoc& m_Doc;
    CRxPicture m_Picture;
    int m_nBands = 0; // in the scroll sizes
    // Scroll steps; 21 pixels are 7 columns, one character. The page height follows the window.
    QSize m_sizePage{21, 300};
    QSize m_sizeLine{21, 30};
    // A slanted edge being dragged along, in picture coordinates.
    bool m_bDragging = false;
    QPoint m_DragFrom;
    QPoint m_DragTo;

    OpenFileHandler m_OpenFileHandler;
    MessageHandler m_MessageHandler;
    TypingHandler m_TypingHandler;
    int m_nViewportHeight = 0; // before the latest resize
    QPrinter* m_pPrinter = nullptr;
    std::unique_ptr<QPrinter> m_pOwnPrinter;
};
