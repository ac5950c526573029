#include "scale_knowledge_watch.h"

#include "link/commands.h"

void ScaleKnowledgeWatch::onLinkEvent(const LinkEvent& event) {
    KnowledgeDropped why{};
    if (event.kind == LinkEventKind::ExchangeFailed) {
        why = KnowledgeDropped::ExchangeFailed;
    } else if (event.kind == LinkEventKind::RequestSent && event.command == cmd::kWritePlu &&
               !(ownWork_ && ownWork_())) {
        why = KnowledgeDropped::WrittenElsewhere;
    } else {
        return;
    }
    if (knowledge_.empty()) {
        return;
    }
    knowledge_.forget();
    if (dropped_) {
        dropped_(why);
    }
}
