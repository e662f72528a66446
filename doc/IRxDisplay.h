#pragma once

// The receive picture, as the document and its store drive it.
class IRxDisplay
{
public:
    virtual ~IRxDisplay() = default;

    // Draw the one column just completed, at once.
    virtual void PaintColumn(int nPage, int nColumn) = 0;
    // Recompute the scrollable size from the number of pages.
    virtual void UpdateScrollSizes() = 0;
    // After a new page: scroll to the end only if the end was in view.
    virtual void FollowEnd() = 0;
    // Show the end of the picture.
    virtual void ScrollToEnd() = 0;
    // A document-wide update: recompute the scroll sizes and repaint everything.
    virtual void OnUpdate() = 0;
};
