' Payments and direct debits: Add with and without a text key, Item by
' position and by key in any case, Remove, For Each, the objects that come
' back the same, and the bank account of a debit.
Dim paiements, p1, p2, p3, p, prelevements, d, rib, n, total, objet

On Error Resume Next
Set paiements = CreateObject("Qx_TVA.Cls_Paiements")
Verifier paiements.Count = 0 And paiements.vPaiementImputation = 0, "collection vide"
paiements.vPaiementImputation = 123456
Verifier paiements.vPaiementImputation = 123456, "imputation sur 32 bits"
Set p1 = paiements.Add(7, "Principal")
Set p2 = paiements.Add(7)
Set p3 = paiements.Add(9, "")
Verifier Err.Number = 0 And paiements.Count = 3 And p1.Key = 7 And p2.Key = 7 And p3.Key = 9, "Key = intKey, repete permis"
Verifier paiements("principal") Is p1 And paiements("PRINCIPAL") Is p1 And paiements(2) Is p2 And paiements.Item(3) Is p3, "cle sans casse, positions"
Set objet = paiements.Add(1, "PRINCIPAL")
VerifierErreur 457, "cle en double dans une autre casse"
Verifier paiements.Count = 3, "rien ajoute apres le refus"
' Through Item by name: Wine 8's VBScript turns the error of a failing
' default member call into E_FAIL.
Set objet = paiements.Item(0)
VerifierErreur 9, "position 0"
Set objet = paiements.Item("autre")
VerifierErreur 5, "cle absente"
Set objet = paiements.Item(Null)
Verifier Err.Number <> 0, "Null comme indice refuse (" & Err.Number & ")"
Err.Clear
Set objet = paiements.Item(Nothing)
VerifierErreur 91, "Nothing comme indice"
Set objet = paiements.Add("sept")
VerifierErreur 13, "intKey non numerique"
p1.vMode = 3

' Direct debits: created on first get, the same object afterwards.
Set prelevements = p1.Cls_Prelevements
Verifier prelevements Is p1.Cls_Prelevements, "la meme collection de prelevements"
Set d = prelevements.Add(1, "a")
d.vMontant = 584.25
d.vReference = "PRL"
prelevements.Add 2
prelevements(2).vMontant = 15.75
VerifierSucces "prelevements ajoutes"
total = 0
For Each d In p1.Cls_Prelevements
    total = total + d.vMontant
Next
Verifier total = 600, "For Each sur les prelevements (" & total & ")"
n = 0
total = 0
For Each p In paiements
    total = total + 1
    If total = 2 Then Verifier p Is p2, "For Each dans l'ordre"
    For Each d In p.Cls_Prelevements
        n = n + 1
    Next
Next
Verifier total = 3 And n = 2, "For Each imbriques (" & total & ", " & n & ")"

' The bank account of a debit.
Set rib = prelevements("A").Cls_Rib
rib.vIBAN = "FR7630002005500000157841Z25"
Verifier prelevements(1).Cls_Rib.vIBAN = "FR7630002005500000157841Z25" And rib Is prelevements(1).Cls_Rib, "RIB partage"
Set prelevements(1).Cls_Rib = Nothing
Verifier prelevements(1).Cls_Rib Is Nothing, "RIB mis a Nothing le reste"
Set rib = CreateObject("Qx_TVA.Cls_Rib")
rib.vBanque = "30002"
Set prelevements(1).Cls_Rib = rib
Verifier prelevements(1).Cls_Rib Is rib, "RIB remplace par celui de l'hote"
Set prelevements(1).Cls_Rib = paiements
VerifierErreur 13, "une collection a la place d'un RIB"
Verifier prelevements(1).Cls_Rib Is rib, "RIB garde apres le refus"

' A payment's debits set to Nothing come back as a new empty collection;
' set to the host's own collection, they are that one.
Set p1.Cls_Prelevements = Nothing
Verifier p1.Cls_Prelevements.Count = 0 And Not (p1.Cls_Prelevements Is prelevements), "nouvelle collection vide"
Set p = CreateObject("Qx_TVA.Cls_Prelevements")
Set p1.Cls_Prelevements = p
Verifier p1.Cls_Prelevements Is p, "collection de l'hote"
VerifierSucces "affectations d'objets"

' Remove closes up the positions.
paiements.Remove 1
Verifier paiements.Count = 2 And paiements(1) Is p2, "Remove de la position 1"
paiements.Remove "principal"
VerifierErreur 5, "Remove d'une cle retiree"
paiements.Remove 3
VerifierErreur 9, "Remove hors bornes"
' A payment removed from the collection stays usable by the host.
Verifier p1.vMode = 3 And prelevements.Count = 2, "paiement retire toujours lisible"

' A collection released before its items, and items released before it.
Set paiements = Nothing
Verifier p2.Key = 7 And p3.Key = 9, "paiements vivants apres leur collection"
On Error GoTo 0
Terminer "paiements"
