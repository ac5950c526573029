#pragma once
// Keeps what the program knows of the scale honest while any part of the
// program uses the link: it drops the knowledge whenever the scale may now
// hold something else than was learnt.
//
// - An exchange failed, on whatever page or window: a write may or may not
//   have been carried out, the scale may have been switched off or swapped.
// - A PLU was written by anyone but the knowledge's owner (a restore from a
//   backup): the owner learns its own writes as they are acknowledged.
//
// Someone keying in a price at the counter is not seen on the line; that the
// knowledge may lag behind such a change is what SEND CHANGES is built for.

#include "link/link_observer.h"
#include "scale_knowledge.h"

#include <functional>

enum class KnowledgeDropped { ExchangeFailed, WrittenElsewhere };

class ScaleKnowledgeWatch : public LinkObserver {
  public:
    // `ownWork` is true while the owner's own transfer runs. `dropped` is
    // told, after the knowledge was dropped, why; only when something was known.
    ScaleKnowledgeWatch(ScaleKnowledge& knowledge, std::function<bool()> ownWork,
                        std::function<void(KnowledgeDropped)> dropped)
        : knowledge_(knowledge), ownWork_(std::move(ownWork)), dropped_(std::move(dropped)) {}

    void onLinkEvent(const LinkEvent& event) override;

  private:
    ScaleKnowledge& knowledge_;
    std::function<bool()> ownWork_;
    std::function<void(KnowledgeDropped)> dropped_;
};
